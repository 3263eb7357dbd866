#pragma once

#include <string>
#include <vector>

#include "app/DialogData.h"
#include "cli/JsonOutput.h"
#include "pages/SettingsPages.h"

namespace lanterna::cli {

// What an action that identifies the device learned, as the front end holds it.
struct DeviceReport {
  CDialogData& data;
  CSettingsPages& pages;
  std::string clockState;
  bool admissible = false;
  std::vector<std::string> log;
};

// The report as text: identification, admissibility, pages and tables as comment lines, then
// one "KEY=VALUE" line per parameter, so that the output can be handed back to a write.
// Parameters the write would refuse (read only, nothing selected) stand as comments too.
std::string ReportText(const DeviceReport& report);

// The report as JSON members.
Json ReportJson(const DeviceReport& report);

}  // namespace lanterna::cli
