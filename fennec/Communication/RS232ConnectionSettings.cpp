// The settings side of the serial transport: the settings document, the summary and the
// registry. The port side is in RS232Connection.cpp.
#include <string>

#include "Common/ComError.h"
#include "Common/RegistyEx.h"
#include "Common/XMLDOMHelper.h"
#include "Communication/RS232Connection.h"
#include "Communication/RS232SettingsDocument.h"
#include "Communication/SettingsReports.h"
#include "Platform/Assert.h"

namespace ORLA {

namespace {

constexpr std::string_view kClassName = "CRS232Connection";
const std::string kSubKey(fennec::rs232::kElementName);

// Reports a failure of the document layer or of a number and passes it on to the caller.
template <class Parse>
auto ReportedParse(std::string_view function, Parse parse) {
  try {
    return parse();
  } catch (const CComError& error) {
    fennec::ReportComError(kClassName, function, error);
    throw;
  } catch (...) {
    fennec::ReportUnknownException(kClassName, function);
    throw;
  }
}

}  // namespace

std::string CRS232Connection::GetSettingsXML() {
  return "<?xml version='1.0'?><RS232 " + fennec::SettingsFieldsAsAttributes(fennec::rs232::SettingsFields(), m_tSettings) +
         "/>";
}

bool CRS232Connection::SetSettingsXML(std::string xml) {
  CXMLDOMHelper document;
  if (!document.LoadByString(xml)) {
    fennec::ReportDocumentNotLoaded(kClassName, "tSetSettingsXML( )", xml);
    return false;
  }
  return ReportedParse("SetSettingsXML( )", [&] {
    const CXMLElement element = document.SelectSingleElement(kSubKey);
    fennec::ReadSettingsFields(element, fennec::rs232::SettingsFields(), m_tSettings);
    return true;
  });
}

std::string CRS232Connection::GetSettingsString() {
  const std::string& parity = m_tSettings.m_strParity;
  return m_tSettings.m_strDevice + ": " + std::to_string(m_tSettings.m_dwBaudRate) + ", " + parity.substr(0, 1) + ", " +
         std::to_string(m_tSettings.m_wDataBits) + ", " + m_tSettings.m_strStopBits;
}

std::string CRS232Connection::GetSettingsValue(const char* name) {
  if (!FENNEC_ASSERT(name != nullptr)) return "ERROR";
  const std::string function = "GetSettingsValue(" + std::string(name) + " )";
  CXMLDOMHelper document;
  if (!document.LoadByString(GetSettingsXML())) {
    fennec::ReportOwnDocumentNotLoaded(kClassName, function);
    return "ERROR";
  }
  return ReportedParse(function, [&] {
    return document.SelectSingleElement(kSubKey).GetAttribute(name).value_or("ERROR");
  });
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
  fennec::ReportXmlFileNotImplemented(kClassName, "  Function:\tLoadSettingsXML(" + path + " )\n",
                                      "  Message:\tLoading settings from XML-File not yet implemented!\n");
  return false;
}

bool CRS232Connection::SaveSettingsXML(std::string path) {
  fennec::ReportXmlFileNotImplemented(kClassName, "  Function:\tSaveSettingsXML(" + path + " )\n",
                                      "  Message:\tSaving settings to XML-File not yet implemented!\n");
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
