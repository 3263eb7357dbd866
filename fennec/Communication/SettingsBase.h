#pragma once

#include <string>

#include "Communication/ISettings.h"

namespace ORLA {

// Default document, storage location and the load/save dispatch shared by every settings
// object; the document itself and the storage access are the concrete object's.
class FENNEC_API CSettingsBase : public ISettings {
 public:
  CSettingsBase() = default;
  CSettingsBase(const CSettingsBase&) = default;
  CSettingsBase& operator=(const CSettingsBase&) = default;

  bool LoadSettings(std::string path, ENStorageType type) override;
  bool LoadSettings() override;
  bool SaveSettings(std::string path, ENStorageType type) override;
  bool SaveSettings() override;
  void SetStorageProperties(std::string path, ENStorageType type) override;
  void GetStorageProperties(std::string& path, ENStorageType& type) override;
  bool SetSettingsToDefault() override;
  bool SetDefaultSettings(std::string xml) override;
  std::string GetDefaultSettings() override;

 protected:
  std::string m_strDefaultSettings;
  std::string m_strStoragePath;
  ENStorageType m_enStorageType = Registry;
};

}  // namespace ORLA
