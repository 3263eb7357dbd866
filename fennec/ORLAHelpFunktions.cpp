#include "ORLAHelpFunktions.h"

#include <numeric>
#include <span>

#include "Platform/Assert.h"

namespace {

template <typename Value>
std::uint16_t SumModulo65536(const Value* data, unsigned long count) {
  if (!FENNEC_ASSERT_TEXT(data != nullptr || count == 0, "data != NULL")) return 0;
  const std::span<const Value> values(data, count);
  // Unsigned arithmetic wraps, which is exactly the modulo the checksum is defined with.
  return std::accumulate(values.begin(), values.end(), std::uint16_t{0},
                         [](std::uint16_t sum, Value value) { return static_cast<std::uint16_t>(sum + value); });
}

}  // namespace

std::uint16_t CORLAHelpFunktions::CalculateChecksum(const std::uint8_t* data, unsigned long count) {
  return SumModulo65536(data, count);
}

std::uint16_t CORLAHelpFunktions::CalculateChecksum(const std::uint16_t* data, unsigned long count) {
  return SumModulo65536(data, count);
}
