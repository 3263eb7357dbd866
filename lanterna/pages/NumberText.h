#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lanterna {

// Edit-field type codes: how a field's text is parsed and which range message it shows.
inline constexpr int kTypeHexWord = 1;
inline constexpr int kTypeHexDoubleWord = 2;
inline constexpr int kTypeDecimalWord = 4;

// Text to a signed 32-bit number in base 10 or 16, read as a stream reads it: leading blanks
// skipped, an optional sign, in base 16 an optional "0x"/"0X", then digits up to the first
// character that is not one (so "12abc" gives 12). An empty text gives 0. No value when no
// digit follows or the number does not fit.
std::optional<std::int32_t> GenStrToNumber(std::string_view text, int base);

// An edit field's text as the range check reads it: hexadecimal for type codes 1 and 2, else
// decimal; a text that does not parse has no value, except exactly "0x", which is 0.
std::optional<std::int32_t> ParseEditText(std::string_view text, int typeCode);

// The message of the range balloon: the hexadecimal form for type codes below 3.
std::string RangeMessage(int typeCode, std::int32_t min, std::int32_t max);

// A field's value as the page shows it: "0x%04X" for the hexadecimal types, else "%d".
std::string EditText(int typeCode, std::int32_t value);

}  // namespace lanterna
