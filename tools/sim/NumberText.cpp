#include "NumberText.h"

#include <charconv>

namespace fennec::sim {

std::optional<std::uint64_t> ParseNumber(std::string_view text, std::uint64_t max) {
  int base = 10;
  if (text.starts_with("0x") || text.starts_with("0X")) {
    base = 16;
    text.remove_prefix(2);
  }
  std::uint64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || value > max) return std::nullopt;
  return value;
}

std::optional<double> ParseRate(std::string_view text) {
  double scale = 1.0;
  if (text.ends_with('%')) {
    scale = 100.0;
    text.remove_suffix(1);
  }
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  value /= scale;
  if (!(value >= 0.0 && value <= 1.0)) return std::nullopt;
  return value;
}

}  // namespace fennec::sim
