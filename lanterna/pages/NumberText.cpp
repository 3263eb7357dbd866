#include "pages/NumberText.h"

#include <cctype>
#include <cstdio>
#include <limits>

namespace lanterna {

namespace {

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 99;
}

bool IsHexPrefix(std::string_view rest) {
  return rest.size() >= 2 && rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'X');
}

}  // namespace

std::optional<std::int32_t> GenStrToNumber(std::string_view text, int base) {
  if (text.empty()) return 0;

  std::size_t at = 0;
  while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
  if (base == 16 && IsHexPrefix(text.substr(at))) at += 2;

  // Accumulated as a magnitude so that the most negative number fits as well.
  const std::int64_t limit = negative ? -static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::min())
                                      : std::numeric_limits<std::int32_t>::max();
  std::int64_t magnitude = 0;
  std::size_t digits = 0;
  for (; at < text.size() && DigitValue(text[at]) < base; ++at, ++digits) {
    magnitude = magnitude * base + DigitValue(text[at]);
    if (magnitude > limit) return std::nullopt;
  }
  if (digits == 0) return std::nullopt;
  return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

std::optional<std::int32_t> ParseEditText(std::string_view text, int typeCode) {
  const bool hex = typeCode == kTypeHexWord || typeCode == kTypeHexDoubleWord;
  if (auto value = GenStrToNumber(text, hex ? 16 : 10)) return value;
  if (text == "0x") return 0;
  return std::nullopt;
}

std::string RangeMessage(int typeCode, std::int32_t min, std::int32_t max) {
  char text[96];
  if (typeCode < 3)
    std::snprintf(text, sizeof text, "Please enter a hexadecimal value between 0x%04X and 0x%04X.",
                  static_cast<unsigned>(min), static_cast<unsigned>(max));
  else
    std::snprintf(text, sizeof text, "Please enter a value between %d and %d.", min, max);
  return text;
}

std::string EditText(int typeCode, std::int32_t value) {
  if (typeCode != kTypeHexWord && typeCode != kTypeHexDoubleWord) return std::to_string(value);
  char text[16];
  std::snprintf(text, sizeof text, "0x%04X", static_cast<unsigned>(value));
  return text;
}

}  // namespace lanterna
