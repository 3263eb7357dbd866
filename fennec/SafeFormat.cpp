#include "SafeFormat.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <optional>

#include "Platform/TextCase.h"

namespace fennec {

namespace {

constexpr std::size_t kMaxWidth = 64;
constexpr std::string_view kConversions = "diuxXs";

struct Placeholder {
  bool leftAlign = false;
  bool zeroPad = false;
  std::size_t width = 0;
  char conversion = '\0';
  std::size_t length = 0;  // from the '%' through the conversion character
};

// The placeholder at the start of the text, which begins with '%'.
std::optional<Placeholder> ReadPlaceholder(std::string_view text) {
  Placeholder placeholder;
  std::size_t i = 1;
  for (; i < text.size() && (text[i] == '-' || text[i] == '0'); ++i)
    (text[i] == '-' ? placeholder.leftAlign : placeholder.zeroPad) = true;
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i)
    placeholder.width = std::min(kMaxWidth, placeholder.width * 10 + static_cast<std::size_t>(text[i] - '0'));
  if (i == text.size() || kConversions.find(text[i]) == std::string_view::npos) return std::nullopt;
  placeholder.conversion = text[i];
  placeholder.length = i + 1;
  return placeholder;
}

std::string Hexadecimal(std::int64_t number, bool upperCase) {
  char digits[8];
  const auto end = std::to_chars(digits, digits + sizeof digits, static_cast<std::uint32_t>(number), 16).ptr;
  std::string text(digits, end);
  return upperCase ? ToUpper(std::move(text)) : text;
}

std::string Padded(std::string body, const Placeholder& placeholder, bool isNumber) {
  if (body.size() >= placeholder.width) return body;
  const std::size_t fill = placeholder.width - body.size();
  if (placeholder.leftAlign) return body + std::string(fill, ' ');
  if (!placeholder.zeroPad || !isNumber) return std::string(fill, ' ') + body;
  const std::size_t afterSign = body.starts_with('-') ? 1 : 0;
  body.insert(afterSign, fill, '0');
  return body;
}

std::string Rendered(const Placeholder& placeholder, const FormatArg& arg) {
  if (const auto* text = std::get_if<std::string_view>(&arg)) return Padded(std::string(*text), placeholder, false);
  const std::int64_t number = std::get<std::int64_t>(arg);
  const bool hexadecimal = placeholder.conversion == 'x' || placeholder.conversion == 'X';
  return Padded(hexadecimal ? Hexadecimal(number, placeholder.conversion == 'X') : std::to_string(number),
                placeholder, placeholder.conversion != 's');
}

}  // namespace

std::string FormatText(std::string_view pattern, std::span<const FormatArg> args) {
  std::string out;
  std::size_t nextArg = 0;
  while (!pattern.empty()) {
    const std::size_t percent = pattern.find('%');
    out += pattern.substr(0, percent);
    if (percent == std::string_view::npos) break;
    pattern.remove_prefix(percent);
    if (pattern.starts_with("%%")) {
      out += '%';
      pattern.remove_prefix(2);
      continue;
    }
    const std::optional<Placeholder> placeholder = ReadPlaceholder(pattern);
    if (!placeholder) {
      out += '%';
      pattern.remove_prefix(1);
      continue;
    }
    if (nextArg < args.size()) out += Rendered(*placeholder, args[nextArg++]);
    pattern.remove_prefix(placeholder->length);
  }
  return out;
}

}  // namespace fennec
