// libFuzzer target for the lines `write --from` reads: the input is the file. It is read as the
// program reads it, and its settings go into the pages of every simulated device the shipped INI
// file admits, as a write takes them.
//
// Checked beside the sanitizers:
// - every setting taken has a key without blanks (spaces, tabs, carriage returns) around it, and
//   neither key nor value holds a line end;
// - settings the pages take and commit are what the pages show when the committed images are
//   read back, and the commit changes no bit that no field owns;
// - what a read prints then, handed back to a write, is taken and changes no register.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "Platform/TextCase.h"
#include "Profile.h"
#include "ScratchFolder.h"
#include "SimulatedPages.h"
#include "base/IniFile.h"
#include "cli/CliError.h"
#include "cli/DeviceReport.h"
#include "cli/SettingLines.h"
#include "cli/SettingValues.h"

namespace {

using namespace lanterna;
using namespace lanterna::cli;

void CheckLines(const std::vector<SettingLine>& settings) {
  for (const SettingLine& setting : settings) {
    FuzzCheck(!setting.key.empty() && fennec::Trimmed(setting.key, " \t\r") == setting.key,
              "a key with blanks around it");
    FuzzCheck(setting.key.find('\n') == std::string::npos && setting.value.find('\n') == std::string::npos,
              "a setting with a line end");
  }
}

// Sets the values as a write does; false when the write would refuse them.
bool Set(SimulatedPages& simulated, const std::vector<SettingLine>& settings) {
  try {
    RequireKnownKeysAndValues(simulated.pages, settings);
    (void)SetValues(simulated.pages, settings);
    return true;
  } catch (const CBadInput&) {
    return false;
  }
}

// A read's report, handed back: every line is taken, and the images stay as they are.
void CheckReportTakenBack(SimulatedPages& simulated) {
  const std::string report = ReportText({simulated.data, simulated.pages, "DONE", true, {}});
  std::vector<SettingLine> settings;
  try {
    settings = SettingsFromText(report, "read");
  } catch (const CBadInput& error) {
    FuzzFail(std::string("a read's report does not parse: ") + error.what());
  }
  const BeforeCommit before = Snapshot(simulated);
  try {
    RequireKnownKeysAndValues(simulated.pages, settings);
    (void)SetValues(simulated.pages, settings);
  } catch (const CBadInput& error) {
    FuzzFail(std::string("a write refuses a read's report: ") + error.what());
  }
  if (const auto failure = simulated.pages.Commit()) FuzzFail("a write refuses a read's report: " + failure->message);
  FuzzCheck(simulated.data.Table0() == before.table0 && simulated.data.Table100() == before.table100,
            "a read's report handed back to a write changed registers");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const ScratchFolder folder("fuzz_write_lines");
  static const std::filesystem::path file = folder.Path() / "settings.txt";
  static const CIniFile ini = [] {
    CIniFile shipped;
    FuzzCheck(shipped.Load(LANTERNA_INI) && shipped.SectionCount() > 0, "the shipped INI file cannot be read");
    return shipped;
  }();

  folder.WriteOnly(file, std::string_view(reinterpret_cast<const char*>(data), size));
  std::vector<SettingLine> settings;
  try {
    settings = SettingsFromFile(file);
  } catch (const CBadInput&) {
    return 0;
  }
  CheckLines(settings);

  for (const fennec::sim::Profile& profile : fennec::sim::AllProfiles()) {
    SimulatedPages simulated(ini, profile);
    if (!simulated.admitted || !Set(simulated, settings)) continue;
    const BeforeCommit before = Snapshot(simulated);
    if (simulated.pages.Commit()) continue;
    CheckCommitted(simulated, before);
    CheckReportTakenBack(simulated);
  }
  return 0;
}
