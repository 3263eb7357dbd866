#include "FramedFrame.h"

#include "WireBytes.h"

namespace fennec::sim {

std::uint16_t AnnouncedLength(std::span<const std::uint8_t, kFrameHeader> header) { return U16At(header, kLengthAt); }

Frame ParseFrame(std::span<const std::uint8_t, kFrameHeader> header, std::span<const std::uint8_t> data) {
  return {U16At(header, kIdentifierAt), U16At(header, kRequestNumberAt), U16At(header, 4), U16At(header, 6),
          U16At(header, 12),            U16At(header, kStatusAt),        {data.begin(), data.end()}};
}

std::vector<std::uint8_t> EncodeFrame(const Frame& frame) {
  std::vector<std::uint8_t> bytes;
  bytes.reserve(kFrameHeader + frame.data.size());
  for (const std::uint16_t word : {frame.identifier, frame.requestNumber, frame.fragment, frame.total, std::uint16_t{0},
                                   std::uint16_t{0}, frame.result, frame.status,
                                   static_cast<std::uint16_t>(frame.data.size())})
    AppendU16(bytes, word);
  bytes.insert(bytes.end(), frame.data.begin(), frame.data.end());
  return bytes;
}

}  // namespace fennec::sim
