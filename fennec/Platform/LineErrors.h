#pragma once

#include <cstdint>

namespace fennec::platform {

// The line-error flags of the serial API, as the error catalogue reads them in group 0x2001.
// The transmit-queue-full flag (0x0100) has no counter on this platform and is never raised.
inline constexpr std::uint16_t kLineErrorReceiveOverflow = 0x0001;
inline constexpr std::uint16_t kLineErrorOverrun = 0x0002;
inline constexpr std::uint16_t kLineErrorParity = 0x0004;
inline constexpr std::uint16_t kLineErrorFraming = 0x0008;
inline constexpr std::uint16_t kLineErrorBreak = 0x0010;

// The error counters a serial driver keeps since it was loaded. They only grow, and wrap.
struct LineCounters {
  std::uint32_t bufferOverrun = 0;
  std::uint32_t overrun = 0;
  std::uint32_t parity = 0;
  std::uint32_t framing = 0;
  std::uint32_t breaks = 0;
};

// The flags of every counter that changed between two readings.
std::uint16_t LineErrorFlags(const LineCounters& before, const LineCounters& now);

}  // namespace fennec::platform
