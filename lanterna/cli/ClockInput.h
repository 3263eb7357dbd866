#pragma once

#include <chrono>
#include <optional>
#include <string_view>

namespace lanterna::cli {

// "YYYY-MM-DD HH:MM:SS" or "YYYY-MM-DDTHH:MM:SS", optionally ending in "Z": a UTC moment as
// the Clock page's date and time pickers give it. Nothing for any other text or a date that
// does not exist.
std::optional<std::chrono::sys_seconds> ParseUtcTime(std::string_view text);

// A whole number of hours from UTC, "-5", "+1" or "0"; nothing for other text.
std::optional<int> ParseZoneHours(std::string_view text);

}  // namespace lanterna::cli
