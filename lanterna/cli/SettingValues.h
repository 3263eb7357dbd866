#pragma once

#include <string>
#include <vector>

#include "cli/SettingLines.h"
#include "pages/SettingsPages.h"

namespace lanterna::cli {

// "KEY=VALUE refused (title): message"; without a value, "KEY refused ...".
std::string RefusalText(const ValidationFailure& failure, const std::string& value);

// Every key names a parameter and every number is a whole number of its field's base, before
// anything is read or written. Throws CBadInput naming the line otherwise.
void RequireKnownKeysAndValues(const CSettingsPages& pages, const std::vector<SettingLine>& settings);

// Each value goes in as a user types it into its field; throws CBadInput for a value its field
// refuses. Returns the keys whose fields the page greys out with these settings: they are
// written all the same, but the device does not use them.
std::vector<std::string> SetValues(CSettingsPages& pages, const std::vector<SettingLine>& settings);

}  // namespace lanterna::cli
