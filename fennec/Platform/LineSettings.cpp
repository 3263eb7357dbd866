#include "Platform/LineSettings.h"

namespace fennec::platform {

std::chrono::microseconds CharacterTime(const LineSettings& settings) {
  if (settings.baudRate == 0) return std::chrono::microseconds{0};
  // Counted in half bits, so that one and a half stop bits stay exact.
  const std::uint64_t stopHalfBits = settings.stopBits == StopBits::One ? 2 : settings.stopBits == StopBits::Two ? 4 : 3;
  const std::uint64_t parityHalfBits = settings.parity == Parity::None ? 0 : 2;
  const std::uint64_t halfBits = 2 + 2 * std::uint64_t{settings.dataBits} + parityHalfBits + stopHalfBits;
  const std::uint64_t divisor = 2 * std::uint64_t{settings.baudRate};
  return std::chrono::microseconds{static_cast<std::int64_t>((halfBits * 1'000'000 + divisor - 1) / divisor)};
}

}  // namespace fennec::platform
