#include "cli/DeviceReport.h"

#include <algorithm>
#include <cstdio>

#include "cli/ParameterList.h"

namespace lanterna::cli {

namespace {

constexpr std::size_t kWordsPerRow = 8;

std::string Row(const std::string& label, const std::string& value) {
  std::string padded = label;
  if (padded.size() < 14) padded.resize(14, ' ');
  return "#   " + padded + " " + value + "\n";
}

std::string Joined(const std::vector<std::string>& texts) {
  std::string joined;
  for (const std::string& text : texts) joined += (joined.empty() ? "" : " ") + text;
  return joined;
}

std::string DeviceKind(const CDialogData& data) {
  std::string kind = data.Is32() ? "32-bit " : "16-bit ";
  return kind + (data.IsPFC() ? "programmable fieldbus controller" : "fieldbus coupler");
}

std::string TableText(const char* name, const std::vector<std::uint16_t>& table) {
  std::string text = std::string("# Table ") + name + ": " + std::to_string(table.size()) + " registers\n";
  for (std::size_t first = 0; first < table.size(); first += kWordsPerRow) {
    char line[32];
    std::snprintf(line, sizeof line, "#   %4zu:", first);
    text += line;
    for (std::size_t i = first; i < table.size() && i < first + kWordsPerRow; ++i) {
      std::snprintf(line, sizeof line, " %04X", table[i]);
      text += line;
    }
    text += "\n";
  }
  return text;
}

std::string IdentificationText(const DeviceReport& report) {
  std::string text = "# Identification\n";
  for (const CCommonPageModel::Row& row : report.pages.Common().Rows())
    text += Row(row.label, row.error ? row.value + " (not read)" : row.value);
  const tIdentification& identification = report.data.Identification();
  text += Row("Network ID", identification.networkIdKind);
  text += Row("Subnet Mask", identification.subnetMask);
  text += Row("Gateway", identification.gateway);
  text += Row("Clock", report.clockState);
  return text;
}

std::string ParameterLine(const CPageParameter& parameter) {
  const std::string line = parameter.Key() + "=" + parameter.Text();
  if (TakesItsTextBack(parameter)) return line + "\n";
  return "# " + line + (parameter.Editable() ? "   (nothing selected)\n" : "   (read only)\n");
}

}  // namespace

std::string ReportText(const DeviceReport& report) {
  CDialogData& data = report.data;
  const std::string& deviceLine = data.DeviceLine();
  std::string text = "# " + deviceLine.substr(std::min(deviceLine.find_first_not_of(' '), deviceLine.size())) + "\n#\n";
  text += IdentificationText(report);
  text += "#\n# Admissible: " + std::string(report.admissible ? "yes, " + DeviceKind(data) : "no") + "\n";
  text += "# Pages: " + Joined(data.DevicePageKeys()) + "\n";
  if (data.ShownPageKeys() != data.DevicePageKeys()) text += "# Shown: " + Joined(data.ShownPageKeys()) + "\n";
  text += "#\n" + TableText("0", data.Table0());
  text += TableText("100", data.Table100());
  text += "#\n# Parameters\n";
  for (const CPageParameter* parameter : DeviceParameters(report.pages)) text += ParameterLine(*parameter);
  return text;
}

}  // namespace lanterna::cli
