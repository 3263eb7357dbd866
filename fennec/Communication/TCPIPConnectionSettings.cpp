// The settings side of the TCP/IP transport: the settings document, the summary and the
// registry. The socket side is in TCPIPConnection.cpp.
#include <string>

#include "Common/RegistyEx.h"
#include "Communication/SettingsDocument.h"
#include "Communication/TCPIPConnection.h"
#include "Communication/TCPIPSettingsDocument.h"

namespace ORLA {

namespace {

constexpr std::string_view kClassName = "CTCPIPConnection";
const std::string kSubKey(fennec::tcpip::kElementName);

}  // namespace

void CTCPIPConnection::ApplyFraming() {
  m_nLengthPos = m_tSettings.m_dwLengthPos;
  m_nSizeOfLength = m_tSettings.m_wSizeOfLength;
  m_nLengthCorrection = m_tSettings.m_sLengthCorrection;
}

std::string CTCPIPConnection::GetSettingsXML() {
  return fennec::SettingsDocument(fennec::tcpip::kElementName, fennec::tcpip::SettingsFields(), m_tSettings);
}

// Framing values read before a failure apply as the other fields do.
bool CTCPIPConnection::SetSettingsXML(std::string xml) {
  try {
    const bool parsed = fennec::ParseSettingsDocument(kClassName, fennec::tcpip::kElementName, xml,
                                                      fennec::tcpip::SettingsFields(), m_tSettings);
    ApplyFraming();
    return parsed;
  } catch (...) {
    ApplyFraming();
    throw;
  }
}

std::string CTCPIPConnection::GetSettingsString() {
  const tTCPIPSettings& s = m_tSettings;
  std::string summary;
  for (const std::string& value :
       {s.m_strIPAddress, std::to_string(s.m_wServicePort), std::to_string(s.m_dwCloseWaitTime),
        std::to_string(s.m_wSendTimeoutSeconds), std::to_string(s.m_wReceiveTimeoutSeconds),
        std::to_string(s.m_wRestartTimeoutSeconds), std::to_string(s.m_dwLengthPos), std::to_string(s.m_wSizeOfLength),
        std::to_string(s.m_sLengthCorrection)})
    summary += value + "; ";
  return summary;
}

std::string CTCPIPConnection::GetSettingsValue(const char* name) {
  return fennec::SettingsDocumentValue(kClassName, fennec::tcpip::kElementName, GetSettingsXML(), name);
}

std::string CTCPIPConnection::GetDriverInfo() { return "1.0"; }

bool CTCPIPConnection::LoadSettingsRegistry(std::string path) {
  const cutils::CRegistryEx registry(path);
  fennec::LoadSettingsFields(registry, kSubKey, fennec::tcpip::SettingsFields(), m_tSettings);
  ApplyFraming();
  return true;
}

bool CTCPIPConnection::SaveSettingsRegistry(std::string path) {
  cutils::CRegistryEx registry(path);
  fennec::SaveSettingsFields(registry, kSubKey, fennec::tcpip::SavedFields(), m_tSettings);
  return true;
}

bool CTCPIPConnection::LoadSettingsXML(std::string path) {
  fennec::ReportLoadSettingsXMLNotImplemented(kClassName, path);
  return false;
}

bool CTCPIPConnection::SaveSettingsXML(std::string path) {
  fennec::ReportSaveSettingsXMLNotImplemented(kClassName, path);
  return false;
}

// Through the settings documents, as the serial transport does, so that a probe leaves the same
// reports as any change of settings would.
void CTCPIPConnection::ApplyProbeTimeouts() {
  m_keptTimeouts.emplace(GetSettingsValue("SendTimeoutSeconds"), GetSettingsValue("ReceiveTimeoutSeconds"));
  SetSettingsXML("<?xml version='1.0'?><TCPIP SendTimeoutSeconds='1' ReceiveTimeoutSeconds='1' />");
}

void CTCPIPConnection::RestoreTimeouts() {
  if (!m_keptTimeouts) return;
  SetSettingsXML("<?xml version='1.0'?><TCPIP SendTimeoutSeconds='" + m_keptTimeouts->first +
                 "' ReceiveTimeoutSeconds='" + m_keptTimeouts->second + "' />");
  m_keptTimeouts.reset();
}

}  // namespace ORLA
