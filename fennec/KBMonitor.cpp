#include "KBMonitor.h"

namespace fennec::kbmon {

namespace {

constexpr std::uint8_t kFlagPassedThrough = 0x01;
constexpr std::uint8_t kFlagAbsoluteTimes = 0x02;
// The entry the device writes when it starts.
constexpr std::uint16_t kStartCode = 0;
constexpr std::uint8_t kStartArgument = 0xC0;

std::int64_t TicksToSeconds(std::uint32_t ticks) { return ticks / 10; }

}  // namespace

tKBMonEntryEx ExtendEntry(const tKBMonEntry& entry, std::int64_t now) {
  tKBMonEntryEx extended{};
  extended.wCode = entry.wCode;
  extended.byArgument = entry.byArgument;
  extended.byFlag = entry.byFlags & kFlagPassedThrough;
  const bool absolute = (entry.byFlags & kFlagAbsoluteTimes) != 0;
  extended.byTimeValid = absolute ? 1 : 0;
  if (absolute) {
    extended.llEventTime = entry.dwEventTick;
    extended.llReferenceTime = entry.dwReferenceTick;
    extended.llEventOffset = static_cast<std::int32_t>(entry.dwEventTick - entry.dwReferenceTick);
  } else {
    extended.llReferenceTime = now - TicksToSeconds(entry.dwReferenceTick);
    extended.llEventTime = now - TicksToSeconds(entry.dwReferenceTick - entry.dwEventTick);
    extended.llEventOffset = TicksToSeconds(entry.dwEventTick);
  }
  return extended;
}

void SettleTimeValidity(std::span<tKBMonEntryEx> entries) {
  if (entries.empty() || entries.back().byTimeValid != 0) return;
  bool sinceStart = true;
  for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
    entry->byTimeValid = sinceStart ? 1 : 0;
    if (entry->wCode == kStartCode && entry->byArgument == kStartArgument) sinceStart = false;
  }
}

}  // namespace fennec::kbmon
