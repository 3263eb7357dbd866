#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace fennec {

// One value for a placeholder of a catalogue text.
using FormatArg = std::variant<std::int64_t, std::string_view>;

// Formats a printf-style text without trusting it, so that no table entry can read a value of
// the wrong type or past the last one. The placeholders %d %i %u %x %X %s (flags '-' and '0',
// a width) take the values in order: a text is written as it is under any placeholder, a
// number under %s in decimal, under %x/%X as its 32-bit pattern. A placeholder without a value
// stays empty, as in the program's texts; a sequence not understood stays as written; "%%" is
// one '%'. Widths are capped at 64.
std::string FormatText(std::string_view pattern, std::span<const FormatArg> args);

}  // namespace fennec
