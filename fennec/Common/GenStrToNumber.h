#pragma once

#include <cstdint>
#include <string>

#include "Platform/Export.h"

// Text to number as the settings documents write them: "0x"/"0X" starts an unsigned
// hexadecimal number, anything else is a signed decimal number; leading white space is
// skipped and reading stops at the first character that does not fit. An empty text gives 0.
// Throws std::string "GenStrToNumber failed: '<text>'" when nothing can be read or the number
// does not fit 32 bits (as signed or unsigned). Callers store the result in their field's width.
FENNEC_API std::int64_t GenStrToNumber(const std::string& text);
