#include "app/Configuration.h"

#include "Platform/TextCase.h"
#include "Platform/Terminal.h"
#include "app/DialogData.h"

namespace lanterna {

namespace {

// A marker that no stored value can equal, so that a missing value is told from an empty one.
constexpr const char* kAbsent = "\x01" "absent";

// Keeps the folder part as written (Windows or POSIX separators); the file name goes to upper
// case with ".INI" in place of its ".exe" extension, or appended when it has none.
std::string IniPathFromProgramPath(const std::string& programPath) {
  const auto slash = programPath.find_last_of("/\\");
  const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  std::string name = fennec::ToUpper(programPath.substr(nameStart));
  if (name.ends_with(".EXE")) name.resize(name.size() - 4);
  if (!name.ends_with(".INI")) name += ".INI";
  return programPath.substr(0, nameStart) + name;
}

}  // namespace

std::string IniPath(const std::string& programFolder, const std::optional<std::string>& appExe) {
  if (appExe && !appExe->empty()) return IniPathFromProgramPath(*appExe);
  std::string folder = programFolder;
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return IniPathFromProgramPath(folder + kProgramFileName);
}

std::string ModuleVersionText(const std::string& fileVersion, const std::string& buildDate) {
  return fileVersion + " (" + buildDate + ")";
}

std::string ProgramVersionText() { return ModuleVersionText(LANTERNA_FILE_VERSION, __DATE__ " " __TIME__); }

std::string ProgramIniPath() {
  return IniPath(fennec::platform::ProgramFolder().string(), CProgramRegistry().AppExe());
}

std::optional<std::string> CProgramRegistry::AppExe() const {
  const std::string value = m_registry.ReadString("Common", "AppExe", kAbsent);
  if (value == kAbsent) return std::nullopt;
  return value;
}

void CProgramRegistry::WriteVersions(const std::string& programVersionText, const std::string& libraryVersionText) {
  m_registry.WriteString("Version", "ProductVersion", CDialogData::kProductVersion);
  m_registry.WriteString("Version", "LANTERNA.EXE", programVersionText);
  m_registry.WriteString("Version", "FENNEC.DLL", libraryVersionText);
}

std::string CProgramRegistry::LogFolder(const std::string& defaultFolder) const {
  return m_registry.ReadString("Folder", "MyDocuments", defaultFolder);
}

void CProgramRegistry::SetLogFolder(const std::string& folder) {
  m_registry.WriteString("Folder", "MyDocuments", folder);
}

}  // namespace lanterna
