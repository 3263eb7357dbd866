#include "cli/ClockInput.h"

#include <charconv>

namespace lanterna::cli {

using namespace std::chrono;

namespace {

// Exactly `width` decimal digits at `at`.
std::optional<int> Digits(std::string_view text, std::size_t at, std::size_t width) {
  int value = 0;
  const char* first = text.data() + at;
  const auto [end, error] = std::from_chars(first, first + width, value);
  if (error != std::errc() || end != first + width || *first == '-' || *first == '+') return std::nullopt;
  return value;
}

}  // namespace

std::optional<sys_seconds> ParseUtcTime(std::string_view text) {
  if (text.ends_with('Z') || text.ends_with('z')) text.remove_suffix(1);
  constexpr std::string_view kShape = "0000-00-00T00:00:00";
  if (text.size() != kShape.size()) return std::nullopt;
  if (text[4] != '-' || text[7] != '-' || (text[10] != 'T' && text[10] != 't' && text[10] != ' ') ||
      text[13] != ':' || text[16] != ':')
    return std::nullopt;
  const auto year = Digits(text, 0, 4), month = Digits(text, 5, 2), day = Digits(text, 8, 2);
  const auto hour = Digits(text, 11, 2), minute = Digits(text, 14, 2), second = Digits(text, 17, 2);
  if (!year || !month || !day || !hour || !minute || !second) return std::nullopt;
  const year_month_day date{std::chrono::year{*year}, std::chrono::month{static_cast<unsigned>(*month)},
                            std::chrono::day{static_cast<unsigned>(*day)}};
  if (!date.ok() || *hour > 23 || *minute > 59 || *second > 59) return std::nullopt;
  return sys_days{date} + hours{*hour} + minutes{*minute} + seconds{*second};
}

std::optional<int> ParseZoneHours(std::string_view text) {
  if (text.starts_with('+')) {
    text.remove_prefix(1);
    if (text.starts_with('-')) return std::nullopt;
  }
  int hours = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), hours);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return hours;
}

}  // namespace lanterna::cli
