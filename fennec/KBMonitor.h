#pragma once

#include <cstdint>
#include <span>

#include "ServiceTypes.h"

// Terminal-bus monitor entries: their times and which of them can be trusted.
namespace fennec::kbmon {

// An entry the device has no content for; it is skipped and does not count.
inline constexpr std::uint16_t kEmptyEntryCode = 0xFFFF;

// The extended entry with its three times. Relative ticks are worked back from the device's
// reference tick to the PC's calendar time now, taken when the entry arrived.
tKBMonEntryEx ExtendEntry(const tKBMonEntry& entry, std::int64_t now);

// When the newest entry's times are not absolute, only the entries since the device's last
// start have relative times that fit the current reference: they are marked valid, older ones not.
void SettleTimeValidity(std::span<tKBMonEntryEx> entries);

}  // namespace fennec::kbmon
