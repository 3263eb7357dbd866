#include "HexText.h"

namespace fennec::sim {

namespace {
constexpr char kDigits[] = "0123456789ABCDEF";
}

std::string Hex4(std::uint16_t word) {
  return {kDigits[(word >> 12) & 0xF], kDigits[(word >> 8) & 0xF], kDigits[(word >> 4) & 0xF], kDigits[word & 0xF]};
}

std::string HexBytes(std::span<const std::uint8_t> bytes) {
  std::string text;
  for (const std::uint8_t byte : bytes) {
    if (!text.empty()) text += ' ';
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0xF];
  }
  return text;
}

}  // namespace fennec::sim
