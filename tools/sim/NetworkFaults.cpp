// The network faults of FaultInjection.h.
#include "FaultInjection.h"
#include "FramedFrame.h"
#include "WireBytes.h"

namespace fennec::sim {

namespace {

bool UseUp(unsigned& count) {
  if (count == 0) return false;
  --count;
  return true;
}

void PutU16(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint16_t value) {
  bytes[offset] = static_cast<std::uint8_t>(value & 0xFF);
  bytes[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

// Enough that the client waits for bytes that never come, few enough to stay a plausible frame.
constexpr std::uint16_t kOverstatedBy = 100;

}  // namespace

std::optional<std::uint16_t> RepeatFor(NetworkFaults& faults, std::uint16_t fragment) {
  if (!faults.repeat || faults.repeat->fragment != fragment) return std::nullopt;
  const std::uint16_t packet = faults.repeat->packet;
  faults.repeat.reset();
  return packet;
}

bool CloseInsideRequest(NetworkFaults& faults) { return UseUp(faults.closeInsideRequestNext); }

std::vector<std::uint8_t> DamageFrame(NetworkFaults& faults, std::vector<std::uint8_t> frame) {
  if (UseUp(faults.errorAbortNext))
    PutU16(frame, kStatusAt, static_cast<std::uint16_t>(U16At(frame, kStatusAt) | frame_status::kErrorAbort));
  if (UseUp(faults.wrongIdentifierNext))
    PutU16(frame, kIdentifierAt,
           U16At(frame, kIdentifierAt) == kLegacyIdentifier ? kUpdateIdentifier : kLegacyIdentifier);
  if (UseUp(faults.wrongRequestNumberNext))
    PutU16(frame, kRequestNumberAt, static_cast<std::uint16_t>(U16At(frame, kRequestNumberAt) + 1));
  if (UseUp(faults.overstateLengthNext))
    PutU16(frame, kLengthAt, static_cast<std::uint16_t>(U16At(frame, kLengthAt) + kOverstatedBy));
  return frame;
}

}  // namespace fennec::sim
