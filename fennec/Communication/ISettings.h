#pragma once

#include <string>

#include "Platform/Export.h"

namespace ORLA {

// A configurable object: its parameters travel as a one-element XML document and can be
// persisted in the registry. The slot order is part of the binary interface.
class FENNEC_API ISettings {
 public:
  enum ENStorageType { Registry = 1, XMLFile = 2 };

  virtual ~ISettings() = default;
  virtual bool LoadSettings(std::string path, ENStorageType type) = 0;
  virtual bool LoadSettings() = 0;
  virtual bool SaveSettings(std::string path, ENStorageType type) = 0;
  virtual bool SaveSettings() = 0;
  virtual void SetStorageProperties(std::string path, ENStorageType type) = 0;
  virtual void GetStorageProperties(std::string& path, ENStorageType& type) = 0;
  virtual std::string GetSettingsXML() = 0;
  virtual bool SetSettingsXML(std::string xml) = 0;
  virtual bool SetSettingsToDefault() = 0;
  virtual bool SetDefaultSettings(std::string xml) = 0;
  virtual std::string GetDefaultSettings() = 0;
  virtual std::string GetSettingsString() = 0;
  virtual std::string GetSettingsValue(const char* name) = 0;
  virtual std::string GetDriverInfo() = 0;
  virtual bool LoadSettingsRegistry(std::string path) = 0;
  virtual bool SaveSettingsRegistry(std::string path) = 0;
  virtual bool LoadSettingsXML(std::string path) = 0;
  virtual bool SaveSettingsXML(std::string path) = 0;
};

}  // namespace ORLA
