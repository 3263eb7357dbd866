#include "pages/CommonPageModel.h"

#include "base/TextFormat.h"

namespace lanterna {

namespace {

constexpr const char* kLabels[] = {"Item Number   ", "Description   ", "SW Version    ", "HW Version    ",
                                   "FWL Version   ", "Serial Number ", "MAC Address   ", "IP-Address    "};
constexpr std::string_view kErrorMark = "ERR: ";

// Removes every "ERR: "; true when there was one.
bool RemoveErrorMarks(std::string& value) {
  bool found = false;
  for (auto at = value.find(kErrorMark); at != std::string::npos; at = value.find(kErrorMark, at)) {
    value.erase(at, kErrorMark.size());
    found = true;
  }
  return found;
}

}  // namespace

CCommonPageModel::CCommonPageModel() : CCouplerSettingsPageModel("COMMON"), m_items(std::size(kLabels)) {}

void CCommonPageModel::SetIdentificationTexts(const tIdentification& identification) {
  m_items = {identification.orderNumber,    identification.description,     identification.softwareVersion,
             identification.hardwareVersion, identification.fwlVersion,      identification.serialNumber,
             identification.networkId,       identification.ipAddress};
}

void CCommonPageModel::ShowState(int state, std::string_view text) {
  StateLine line;
  if (state == kStateInProgress) line = {1, std::string(text), false};
  if (state == kStateFailed) line = {3, std::string(text), true};
  m_state = line;
  if (state == kStateDone) {
    m_state.reset();
    ReadSettings();
  }
}

void CCommonPageModel::ReadSettings() {
  m_rows.clear();
  m_strExport.clear();
  for (std::size_t i = 0; i < m_items.size(); ++i) {
    Row row{kLabels[i], m_items[i]};
    row.error = RemoveErrorMarks(row.value);
    m_strExport += FormatText("%s= %s\r\n", {row.label, row.value});
    m_rows.push_back(std::move(row));
  }
}

}  // namespace lanterna
