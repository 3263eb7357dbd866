#include "LinePacing.h"

#include <algorithm>
#include <cstdint>

namespace fennec::sim {

namespace {
constexpr std::int64_t kNanosecondsPerSecond = 1'000'000'000;
}

std::chrono::nanoseconds WireTime(std::size_t bytes, unsigned baud) {
  if (baud == 0) return std::chrono::nanoseconds(0);
  const auto bits = static_cast<std::int64_t>(bytes) * kBitsPerByte;
  // Rounded up: the last bit has not arrived before its full time.
  return std::chrono::nanoseconds((bits * kNanosecondsPerSecond + baud - 1) / baud);
}

std::size_t BytesDue(std::chrono::nanoseconds elapsed, unsigned baud, std::size_t total) {
  if (baud == 0) return total;
  if (elapsed.count() <= 0) return 0;
  const std::int64_t bits = elapsed.count() * baud / kNanosecondsPerSecond;
  return std::min(total, static_cast<std::size_t>(bits / kBitsPerByte));
}

}  // namespace fennec::sim
