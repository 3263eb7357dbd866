#pragma once

#include <cstdint>
#include <string>

#include "FennecErrorHandler.h"
#include "cli/JsonOutput.h"

namespace lanterna::cli {

// "0x%08X", as error codes are shown.
std::string HexCode(std::uint32_t code);

// The catalogue's title, text and detail for an error code, in the catalogue's language, with
// plain line feeds.
tErrorMessage CatalogueMessage(std::uint32_t code, const CatalogueDetails& details = {});

// What standard error shows when an action failed: its failure text, the catalogue's text
// for the library's error code where there is one (code 0: none), and the port's advice
// where the system refused the port.
std::string FailureReport(const CliFailure& failure);

}  // namespace lanterna::cli
