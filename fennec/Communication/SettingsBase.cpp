#include "Communication/SettingsBase.h"

#include <string_view>

#include "Platform/DebugOutput.h"

namespace ORLA {

namespace {

void ReportInvalidStorageType(std::string_view functionLine, int type) {
  fennec::platform::DebugOutput({"\n*********************** ERROR ***********************\n",
                                 "  Class:\t\tISettings\n", functionLine,
                                 "  Error:\t\tInvalid storage type '", std::to_string(type),
                                 "\n*****************************************************\n"});
}

}  // namespace

bool CSettingsBase::LoadSettings(std::string path, ENStorageType type) {
  switch (type) {
    case Registry:
      return LoadSettingsRegistry(path);
    case XMLFile:
      return LoadSettingsXML(path);
  }
  ReportInvalidStorageType("  Function:\tLoadSettings( )\n", type);
  return false;
}

bool CSettingsBase::LoadSettings() { return LoadSettings(m_strStoragePath, m_enStorageType); }

bool CSettingsBase::SaveSettings(std::string path, ENStorageType type) {
  switch (type) {
    case Registry:
      return SaveSettingsRegistry(path);
    case XMLFile:
      return SaveSettingsXML(path);
  }
  ReportInvalidStorageType("  Function:\tSaveSettings( )\n", type);
  return false;
}

bool CSettingsBase::SaveSettings() { return SaveSettings(m_strStoragePath, m_enStorageType); }

void CSettingsBase::SetStorageProperties(std::string path, ENStorageType type) {
  m_strStoragePath = std::move(path);
  m_enStorageType = type;
}

void CSettingsBase::GetStorageProperties(std::string& path, ENStorageType& type) {
  path = m_strStoragePath;
  type = m_enStorageType;
}

bool CSettingsBase::SetSettingsToDefault() { return SetSettingsXML(m_strDefaultSettings); }

bool CSettingsBase::SetDefaultSettings(std::string xml) {
  m_strDefaultSettings = std::move(xml);
  return SetSettingsToDefault();
}

std::string CSettingsBase::GetDefaultSettings() { return m_strDefaultSettings; }

}  // namespace ORLA
