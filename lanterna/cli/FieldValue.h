#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "pages/PageParameter.h"

namespace lanterna::cli {

// A number field's text as a command line must give it: the whole text is one number of the
// field's base. Decimal fields take an optional sign and decimal digits; hexadecimal fields
// take hexadecimal digits with or without "0x". No value for anything else, an empty text, or
// a number beyond 32 bits. The page model's own parsing is that of an edit field that filters
// what is typed and would take "12abc" as 12.
std::optional<std::int32_t> StrictFieldNumber(std::string_view text, int typeCode);

// What a number field of this type code accepts, in words.
std::string AcceptedNumberText(int typeCode);

// Why the value cannot go into the parameter's field as it stands, or nothing when it can:
// only number fields are checked here; the page model checks the rest.
std::optional<std::string> StrictValueRefusal(const CPageParameter& parameter, std::string_view text);

}  // namespace lanterna::cli
