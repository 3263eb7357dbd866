#pragma once

#include <cstdint>

// Result records of the service interface, laid out as the device and callers know them.

// The state of one service: its identifier (group in the high byte, number in the low byte),
// its state word and a further word of the device.
struct tServiceState {
  std::uint16_t wServiceId;
  std::uint16_t wState;
  std::uint16_t wInfo;
};

// One register table of the device in one word: bits 0-8 the register count, bits 9-15 the table.
struct tFBCTable {
  std::uint16_t wDescriptor;

  static constexpr tFBCTable Make(unsigned nTableNo, unsigned nRegisterCount) {
    return {static_cast<std::uint16_t>((nTableNo << 9) | (nRegisterCount & 0x1FF))};
  }
  constexpr unsigned TableNo() const { return wDescriptor >> 9; }
  constexpr unsigned RegisterCount() const { return wDescriptor & 0x1FF; }
  friend constexpr bool operator==(tFBCTable, tFBCTable) = default;
};

// A terminal-bus monitor entry as the device delivers it. Ticks count tenths of a second.
struct tKBMonEntry {
  std::uint32_t dwEventTick;
  std::uint16_t wCode;
  std::uint8_t byArgument;
  std::uint8_t byFlags;  // bit 0: passed through from the device; bit 1: the ticks are absolute times
  std::uint32_t dwReferenceTick;
};
static_assert(sizeof(tKBMonEntry) == 12);

// A monitor entry with its times worked out, in seconds of the 64-bit calendar time.
#pragma pack(push, 1)
struct tKBMonEntryEx {
  std::int64_t llEventTime;
  std::int64_t llReferenceTime;
  std::int64_t llEventOffset;
  std::uint16_t wCode;
  std::uint8_t byArgument;
  std::uint8_t byFlag;       // bit 0 of the device's flags
  std::uint8_t byTimeValid;  // 1 when the times can be trusted
};
#pragma pack(pop)
static_assert(sizeof(tKBMonEntryEx) == 29);
