#pragma once

#include <cstdint>
#include <vector>

#include "FennecErrorHandler.h"
#include "SafeFormat.h"

namespace fennec {

// The values for the placeholders of the detail text with that id in the given language, in
// their order; none for a text that is shown unchanged. A null port name stands as
// "COM-Port", a null service name as an empty text.
std::vector<FormatArg> DetailValues(std::uint32_t detailId, std::uint16_t languageId, const ERRORDETAILS& details);

// The rows with these detail ids put the service name into their short text as well.
bool TextTakesServiceName(std::uint32_t detailId);

}  // namespace fennec
