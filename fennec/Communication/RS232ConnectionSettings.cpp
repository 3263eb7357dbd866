// The settings side of the serial transport: the settings document, the summary and the
// registry. The port side is in RS232Connection.cpp.
#include <string>

#include "Common/RegistyEx.h"
#include "Communication/RS232Connection.h"
#include "Communication/RS232SettingsDocument.h"
#include "Communication/SettingsDocument.h"

namespace ORLA {

namespace {

constexpr std::string_view kClassName = "CRS232Connection";
const std::string kSubKey(fennec::rs232::kElementName);

}  // namespace

std::string CRS232Connection::GetSettingsXML() {
  return fennec::SettingsDocument(fennec::rs232::kElementName, fennec::rs232::SettingsFields(), m_tSettings);
}

bool CRS232Connection::SetSettingsXML(std::string xml) {
  return fennec::ParseSettingsDocument(kClassName, fennec::rs232::kElementName, xml, fennec::rs232::SettingsFields(),
                                       m_tSettings);
}

std::string CRS232Connection::GetSettingsString() {
  const std::string& parity = m_tSettings.m_strParity;
  return m_tSettings.m_strDevice + ": " + std::to_string(m_tSettings.m_dwBaudRate) + ", " + parity.substr(0, 1) + ", " +
         std::to_string(m_tSettings.m_wDataBits) + ", " + m_tSettings.m_strStopBits;
}

std::string CRS232Connection::GetSettingsValue(const char* name) {
  return fennec::SettingsDocumentValue(kClassName, fennec::rs232::kElementName, GetSettingsXML(), name);
}

std::string CRS232Connection::GetDriverInfo() { return "1.0"; }

bool CRS232Connection::LoadSettingsRegistry(std::string path) {
  const cutils::CRegistryEx registry(path);
  fennec::LoadSettingsFields(registry, kSubKey, fennec::rs232::SettingsFields(), m_tSettings);
  return true;
}

bool CRS232Connection::SaveSettingsRegistry(std::string path) {
  cutils::CRegistryEx registry(path);
  fennec::SaveSettingsFields(registry, kSubKey, fennec::rs232::SettingsFields(), m_tSettings);
  return true;
}

bool CRS232Connection::LoadSettingsXML(std::string path) {
  fennec::ReportLoadSettingsXMLNotImplemented(kClassName, path);
  return false;
}

bool CRS232Connection::SaveSettingsXML(std::string path) {
  fennec::ReportSaveSettingsXMLNotImplemented(kClassName, path);
  return false;
}

// Through the settings documents, so that a probe leaves the same reports as any change of
// settings would.
void CRS232Connection::ApplyProbeTimeouts() {
  m_keptTimeout = GetSettingsValue("timeout");
  SetSettingsXML("<?xml version='1.0'?> <RS232 timeout='500'/>");
}

void CRS232Connection::RestoreTimeouts() {
  if (!m_keptTimeout) return;
  SetSettingsXML("<?xml version='1.0'?><RS232 timeout='" + *m_keptTimeout + "' />");
  m_keptTimeout.reset();
}

}  // namespace ORLA
