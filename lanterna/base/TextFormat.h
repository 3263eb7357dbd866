#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace lanterna {

// Fills the "%s" placeholders of one of the program's own texts in order; "%%" is a percent
// sign. Placeholders without an argument stay empty and extra arguments are ignored, so no text
// can read past what it was given.
std::string FormatText(std::string_view format, std::initializer_list<std::string_view> arguments);

}  // namespace lanterna
