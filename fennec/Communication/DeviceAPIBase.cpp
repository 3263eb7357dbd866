#include "Communication/DeviceAPIBase.h"

#include "Communication/SettingsReports.h"

namespace ORLA {

namespace {

constexpr std::string_view kClassName = "CDeviceAPIBase";

std::string NotImplemented(std::string_view function) {
  return fennec::ReportInfo(kClassName, "  Function:\t" + std::string(function) + "( )\n",
                            "  Message:\tNot yet implemented!\n");
}

}  // namespace

std::string CDeviceAPIBase::GetSettingsXML() { return NotImplemented("GetSettingsXML"); }

bool CDeviceAPIBase::SetSettingsXML(std::string /*xml*/) {
  NotImplemented("SetSettingsXML");
  return false;
}

std::string CDeviceAPIBase::GetSettingsString() { return NotImplemented("GetSettingsString"); }

std::string CDeviceAPIBase::GetSettingsValue(const char* /*name*/) { return NotImplemented("GetSettingsValue"); }

std::string CDeviceAPIBase::GetDriverInfo() { return "1.0"; }

bool CDeviceAPIBase::LoadSettingsRegistry(std::string /*path*/) {
  NotImplemented("LoadSettingsRegistry");
  return false;
}

bool CDeviceAPIBase::SaveSettingsRegistry(std::string /*path*/) {
  NotImplemented("SaveSettingsRegistry");
  return false;
}

bool CDeviceAPIBase::LoadSettingsXML(std::string path) {
  fennec::ReportLoadSettingsXMLNotImplemented(kClassName, path);
  return false;
}

bool CDeviceAPIBase::SaveSettingsXML(std::string path) {
  fennec::ReportSaveSettingsXMLNotImplemented(kClassName, path);
  return false;
}

bool CDeviceAPIBase::IsConnected() {
  if (m_pProtocol == nullptr) return false;
  IConnection* connection = m_pProtocol->GetConnection();
  return connection != nullptr && connection->IsOpen();
}

bool CDeviceAPIBase::OpenConnection() {
  IConnection* connection = m_pProtocol != nullptr ? m_pProtocol->GetConnection() : nullptr;
  if (connection == nullptr || connection->IsOpen()) return false;
  try {
    connection->Open();
    return true;
  } catch (...) {
    return false;
  }
}

bool CDeviceAPIBase::CloseConnection() {
  IConnection* connection = m_pProtocol != nullptr ? m_pProtocol->GetConnection() : nullptr;
  if (connection == nullptr) return false;
  try {
    connection->Close();
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace ORLA
