#pragma once

#include <string>
#include <vector>

#include "pages/SettingsPages.h"

namespace lanterna::cli {

// The parameters of the pages the connected device gets (used and loaded), those its
// generation has, page by page in the sheet's order.
std::vector<const CPageParameter*> DeviceParameters(const CSettingsPages& pages);

// A line "KEY=VALUE" of this parameter would be taken back by a write: the device lets it be
// changed and it has a value (a list may have nothing selected).
bool TakesItsTextBack(const CPageParameter& parameter);

// For the parameter list: the kind, the values it takes (the range from the INI file in use),
// and the value it starts with before a read.
std::string KindName(const CPageParameter& parameter);
std::string RangeText(const CPageParameter& parameter);
std::string DefaultText(const CPageParameter& parameter);

}  // namespace lanterna::cli
