// libFuzzer target for the program's INI file: the input is the file. The reader, the path rule,
// the device checks and page lists taken from it, and the ranges the pages take from it, for
// every simulated device.
//
// Checked beside the sanitizers:
// - the reader reads the file with CR LF line ends as with LF, and finds sections and keys in
//   any case;
// - the INI path made from the first line as the program's path ends in ".INI" in its folder;
// - a device's page list starts with the Common page and names only known pages; the pages
//   shown are among them, each once;
// - a number field set to the least and to the greatest value of its range, as the field shows
//   them, is what the pages show when the committed images are read back, and the commit
//   changes no bit that no field owns.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "FuzzCheck.h"
#include "Platform/TextCase.h"
#include "Profile.h"
#include "SimulatedPages.h"
#include "app/Admissibility.h"
#include "app/Configuration.h"
#include "base/IniFile.h"
#include "pages/NumberText.h"

namespace {

using namespace lanterna;

constexpr std::size_t kMaxNames = 16;
constexpr std::string_view kAbsent = "\x01";

struct Names {
  std::vector<std::string> sections;
  std::vector<std::string> keys;
};

// Section and key names as the lines show them, for the reader to be asked about.
Names NamesIn(std::string_view text) {
  Names names;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    const std::string_view line = fennec::Trimmed(text.substr(0, end));
    text.remove_prefix(std::min(end + 1, text.size()));
    if (line.starts_with('[') && names.sections.size() < kMaxNames)
      names.sections.emplace_back(fennec::Trimmed(line.substr(1, line.find(']') - 1)));
    else if (const std::size_t equals = line.find('='); equals != std::string_view::npos && names.keys.size() < kMaxNames)
      names.keys.emplace_back(fennec::Trimmed(line.substr(0, equals)));
  }
  return names;
}

std::string WithCrLf(std::string_view text) {
  std::string converted;
  for (const char c : text) {
    if (c == '\n') converted += '\r';
    converted += c;
  }
  return converted;
}

void CheckReader(const CIniFile& ini, std::string_view text) {
  CIniFile crlf;
  crlf.LoadFromText(WithCrLf(text));
  FuzzCheck(crlf.SectionCount() == ini.SectionCount(), "CR LF line ends changed the sections");
  const Names names = NamesIn(text);
  for (const std::string& section : names.sections) {
    for (const std::string& key : names.keys) {
      const std::string value = ini.GetString(section, key, kAbsent);
      if (crlf.GetString(section, key, kAbsent) != value)
        FuzzFail("[" + section + "] " + key + " reads otherwise with CR LF line ends");
      if (ini.GetString(fennec::ToUpper(section), fennec::ToLower(key), kAbsent) != value)
        FuzzFail("[" + section + "] " + key + " reads otherwise in another case");
    }
  }
}

void CheckIniPath(std::string_view text) {
  const std::string program(text.substr(0, std::min(text.find('\n'), text.size())));
  const std::string path = IniPath("/opt/lanterna", program);
  FuzzCheck(path.ends_with(".INI"), "an INI path that does not end in .INI");
  const std::size_t folder = program.find_last_of("/\\");
  if (!program.empty() && folder != std::string::npos)
    FuzzCheck(path.starts_with(program.substr(0, folder + 1)), "an INI path outside the program's folder");
}

void CheckPageLists(const SimulatedPages& simulated) {
  const std::vector<std::string>& device = simulated.data.DevicePageKeys();
  FuzzCheck(!device.empty() && device.front() == "COMMON", "a page list that does not start with the Common page");
  for (const std::string& key : device)
    FuzzCheck(key == "COMMON" || std::find(std::begin(kAllPageKeys), std::end(kAllPageKeys), key) != std::end(kAllPageKeys),
              "a page list with an unknown page");
  const std::vector<std::string>& shown = simulated.data.ShownPageKeys();
  for (const std::string& key : shown) {
    FuzzCheck(std::find(device.begin(), device.end(), key) != device.end(), "a page shown that the device does not get");
    FuzzCheck(std::count(shown.begin(), shown.end(), key) == 1, "a page shown twice");
  }
}

// The field at both ends of its range, each committed and read back; false when the pages
// refused a value or a commit and hold it now.
bool CheckRangeEnds(SimulatedPages& simulated, const std::string& key) {
  const auto* field = dynamic_cast<const CNumberParameter*>(simulated.pages.FindParameter(key));
  for (const std::int32_t value : {field->EffectiveMin(), field->EffectiveMax()}) {
    if (simulated.pages.Set(key, EditText(field->TypeCode(), value))) return false;
    const BeforeCommit before = Snapshot(simulated);
    if (simulated.pages.Commit()) return false;
    CheckCommitted(simulated, before);
  }
  return true;
}

// The range checks once for each kind of device and set of pages the file gives, field after
// field on the same pages while they take every value.
using DeviceKind = std::tuple<std::uint32_t, std::uint32_t, std::vector<std::string>>;

void CheckDevice(const CIniFile& ini, const fennec::sim::Profile& profile, std::vector<DeviceKind>& checked) {
  auto simulated = std::make_unique<SimulatedPages>(ini, profile);
  CheckPageLists(*simulated);
  if (!simulated->admitted) return;
  DeviceKind kind{simulated->data.Is32(), simulated->data.IsPFC(), simulated->data.ShownPageKeys()};
  if (std::find(checked.begin(), checked.end(), kind) != checked.end()) return;
  checked.push_back(std::move(kind));
  std::vector<std::string> keys;
  for (const CPageParameter* parameter : simulated->pages.Parameters()) {
    const auto* page = simulated->pages.FindPage(parameter->Key().substr(0, parameter->Key().find('.')));
    if (parameter->Kind() == ParameterKind::Number && page->IsLoaded() && parameter->Editable())
      keys.push_back(parameter->Key());
  }
  for (const std::string& key : keys)
    if (!CheckRangeEnds(*simulated, key)) simulated = std::make_unique<SimulatedPages>(ini, profile);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  CIniFile ini;
  ini.LoadFromText(text);
  CheckReader(ini, text);
  CheckIniPath(text);
  std::vector<DeviceKind> checked;
  for (const fennec::sim::Profile& profile : fennec::sim::AllProfiles()) CheckDevice(ini, profile, checked);
  return 0;
}
