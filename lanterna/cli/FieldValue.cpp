#include "cli/FieldValue.h"

#include <charconv>
#include <limits>

#include "pages/NumberText.h"

namespace lanterna::cli {

namespace {

bool IsHexadecimal(int typeCode) { return typeCode == kTypeHexWord || typeCode == kTypeHexDoubleWord; }

}  // namespace

std::optional<std::int32_t> StrictFieldNumber(std::string_view text, int typeCode) {
  int base = 10;
  bool negative = false;
  if (IsHexadecimal(typeCode)) {
    base = 16;
    if (text.starts_with("0x") || text.starts_with("0X")) text.remove_prefix(2);
  } else if (text.starts_with('+') || text.starts_with('-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  // Digits only: from_chars would take a sign of its own.
  if (text.empty() || text.front() == '+' || text.front() == '-') return std::nullopt;
  std::int64_t magnitude = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), magnitude, base);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  const std::int64_t value = negative ? -magnitude : magnitude;
  // Hexadecimal fields hold register words: up to 32 bits, as the field shows them.
  const std::int64_t min = std::numeric_limits<std::int32_t>::min();
  const std::int64_t max = base == 16 ? std::numeric_limits<std::uint32_t>::max() : std::numeric_limits<std::int32_t>::max();
  if (value < min || value > max) return std::nullopt;
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

std::string AcceptedNumberText(int typeCode) {
  return IsHexadecimal(typeCode) ? "a hexadecimal number: the digits 0-9 and A-F, with or without 0x"
                                 : "a decimal number: an optional sign and the digits 0-9";
}

std::optional<std::string> StrictValueRefusal(const CPageParameter& parameter, std::string_view text) {
  const auto* number = dynamic_cast<const CNumberParameter*>(&parameter);
  if (!number || StrictFieldNumber(text, number->TypeCode())) return std::nullopt;
  return "'" + std::string(text) + "' is not " + AcceptedNumberText(number->TypeCode());
}

}  // namespace lanterna::cli
