#include "Common/RegistyEx.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

#include "Common/RegistryStore.h"
#include "Platform/DebugOutput.h"
#include "Platform/TextCase.h"

namespace cutils {

using fennec::EqualNoCase;

namespace {

struct HiveRow {
  const char* longName;
  const char* shortName;
  std::uint32_t key;
};

constexpr std::array<HiveRow, 5> kHives = {{
    {"HKEY_CLASSES_ROOT", "HKCR", CRegistryEx::kHKeyClassesRoot},
    {"HKEY_CURRENT_CONFIG", "HKCC", CRegistryEx::kHKeyCurrentConfig},
    {"HKEY_CURRENT_USER", "HKCU", CRegistryEx::kHKeyCurrentUser},
    {"HKEY_LOCAL_MACHINE", "HKLM", CRegistryEx::kHKeyLocalMachine},
    {"HKEY_USERS", "HKU", CRegistryEx::kHKeyUsers},
}};

constexpr const char* kDefaultSubKeyPath = "Software\\ORLA Software";
// A text value longer than the read buffer (2048 bytes with its terminating zero) reads as the default.
constexpr std::size_t kMaxTextLength = 2047;

const char* HiveName(std::uint32_t hive) {
  for (const HiveRow& row : kHives)
    if (row.key == hive) return row.longName;
  return "";
}

std::vector<std::string> SplitPath(const std::string& path) {
  std::vector<std::string> parts;
  std::string part;
  for (char c : path) {
    if (c != '\\') {
      part += c;
    } else if (!part.empty()) {
      parts.push_back(std::move(part));
      part.clear();
    }
  }
  if (!part.empty()) parts.push_back(std::move(part));
  return parts;
}

void ReportSetPathError(std::string_view errorLine) {
  fennec::platform::DebugOutput({"\n*************************** ERROR ***************************\n",
                                 "  Class:\t\tCRegistryEx\n", "  Function:\tSetPath( )\n", errorLine,
                                 "*************************************************************\n\n"});
}

}  // namespace

CRegistryEx::CRegistryEx(const std::string& path) : m_hHive(kHKeyCurrentUser) { SetPath(path); }

bool CRegistryEx::SetPath(const std::string& path) {
  if (path.empty()) {
    m_hHive = kHKeyCurrentUser;
    m_strSubKeyPath = kDefaultSubKeyPath;
    fennec::platform::DebugOutput({"\n*************************** INFO ****************************\n",
                                   "  Class:\t\tCRegistryEx\n", "  Function:\tSetPath( )\n",
                                   "  Message:\tEmpty path parameter: \n",
                                   "  -> handle for the hive will be set to HKEY_CURRENT_USER and \n",
                                   "  -> path to the sub key will be set to \"Software\\ORLA software\". \n",
                                   "*************************************************************\n\n"});
    return false;
  }

  const std::vector<std::string> parts = SplitPath(path);
  if (parts.empty()) {
    ReportSetPathError("  Error:\tFaild to split path parameter\n");
    return false;
  }

  const auto hive = std::find_if(kHives.begin(), kHives.end(), [&](const HiveRow& row) {
    return EqualNoCase(parts.front(), row.longName) || EqualNoCase(parts.front(), row.shortName);
  });
  if (hive == kHives.end()) {
    ReportSetPathError("  Error:\tInvalid registry hive\n");
    return false;
  }

  // Only the leading hive name goes; a later part that happens to spell it stays in the path.
  m_hHive = hive->key;
  m_strSubKeyPath.clear();
  for (std::size_t i = 1; i < parts.size(); ++i) {
    if (i > 1) m_strSubKeyPath += '\\';
    m_strSubKeyPath += parts[i];
  }
  return true;
}

std::string CRegistryEx::KeyPath(const std::string& subKey) const {
  if (m_strSubKeyPath.empty()) return subKey;
  if (subKey.empty()) return m_strSubKeyPath;
  return m_strSubKeyPath + "\\" + subKey;
}

bool CRegistryEx::WriteString(const std::string& subKey, const std::string& valueName, const std::string& value) {
  return fennec::WriteRegistryValue(HiveName(m_hHive), KeyPath(subKey), valueName,
                                    fennec::RegistryValue::FromString(value));
}

bool CRegistryEx::DeleteKey(const std::string& subKey) {
  return fennec::DeleteRegistryKey(HiveName(m_hHive), KeyPath(subKey));
}

std::string CRegistryEx::ReadString(const std::string& subKey, const std::string& valueName,
                                    const std::string& defaultValue) const {
  const auto value = fennec::ReadRegistryValue(HiveName(m_hHive), KeyPath(subKey), valueName);
  if (!value || value->type != fennec::RegistryValue::Type::String || value->text.size() > kMaxTextLength)
    return defaultValue;
  return value->text;
}

bool CRegistryEx::WriteDWord(const std::string& subKey, const std::string& valueName, std::uint32_t value) {
  return fennec::WriteRegistryValue(HiveName(m_hHive), KeyPath(subKey), valueName,
                                    fennec::RegistryValue::FromDWord(value));
}

std::uint32_t CRegistryEx::ReadDWord(const std::string& subKey, const std::string& valueName,
                                     std::uint32_t defaultValue) const {
  const auto value = fennec::ReadRegistryValue(HiveName(m_hHive), KeyPath(subKey), valueName);
  if (!value || value->type != fennec::RegistryValue::Type::DWord) return defaultValue;
  return value->number;
}

std::uint16_t CRegistryEx::ReadWord(const std::string& subKey, const std::string& valueName,
                                    std::uint16_t defaultValue) const {
  return static_cast<std::uint16_t>(ReadDWord(subKey, valueName, defaultValue));
}

}  // namespace cutils
