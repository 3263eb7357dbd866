#pragma once

#include <optional>
#include <string>

#include "Common/RegistyEx.h"

namespace lanterna {

// The program's registry key; its connection keeps its settings below it too.
inline constexpr const char* kProgramRegistryKey = "HKEY_CURRENT_USER\\Software\\ORLA Software\\ORLA Lanterna";
inline constexpr const char* kProgramFileName = "LANTERNA.EXE";

// The INI file: next to the program (its folder, file name LANTERNA.INI), unless the registry
// value Common/AppExe names the program elsewhere; then that path's folder as written, its file
// name in upper case and its extension replaced by ".INI".
std::string IniPath(const std::string& programFolder, const std::optional<std::string>& appExe);

// "FileVersion (build date)", as the registry's version values hold it.
std::string ModuleVersionText(const std::string& fileVersion, const std::string& buildDate);
// The program's own.
std::string ProgramVersionText();

// The INI file of this program, by the rule above.
std::string ProgramIniPath();

// The program's own values in the registry.
class CProgramRegistry {
 public:
  CProgramRegistry() : m_registry(kProgramRegistryKey) {}

  std::optional<std::string> AppExe() const;
  // Written at every start: product version and the module versions of program and library.
  void WriteVersions(const std::string& programVersionText, const std::string& libraryVersionText);
  std::string LogFolder(const std::string& defaultFolder) const;
  void SetLogFolder(const std::string& folder);

 private:
  cutils::CRegistryEx m_registry;
};

}  // namespace lanterna
