#pragma once

#include <cstdint>
#include <string>

#include "Platform/Export.h"

namespace cutils {

// Access to string and 32-bit values below one registry key path, such as
// HKEY_CURRENT_USER\Software\ORLA Software. Reads fall back to the caller's default.
class FENNEC_API CRegistryEx {
 public:
  static constexpr std::uint32_t kHKeyClassesRoot = 0x80000000;
  static constexpr std::uint32_t kHKeyCurrentUser = 0x80000001;
  static constexpr std::uint32_t kHKeyLocalMachine = 0x80000002;
  static constexpr std::uint32_t kHKeyUsers = 0x80000003;
  static constexpr std::uint32_t kHKeyCurrentConfig = 0x80000005;

  explicit CRegistryEx(const std::string& path = "");
  virtual ~CRegistryEx() = default;

  // "HIVE\sub\key"; the hive by long or short name in any case. An empty path selects
  // HKEY_CURRENT_USER\Software\ORLA Software and returns false after an INFO report.
  bool SetPath(const std::string& path);

  std::uint32_t GetHive() const { return m_hHive; }
  const std::string& GetSubKeyPath() const { return m_strSubKeyPath; }

  // The key used is the sub key path, "\" and subKey.
  bool WriteString(const std::string& subKey, const std::string& valueName, const std::string& value);
  std::string ReadString(const std::string& subKey, const std::string& valueName,
                         const std::string& defaultValue) const;
  bool WriteDWord(const std::string& subKey, const std::string& valueName, std::uint32_t value);
  std::uint32_t ReadDWord(const std::string& subKey, const std::string& valueName,
                          std::uint32_t defaultValue) const;
  std::uint16_t ReadWord(const std::string& subKey, const std::string& valueName,
                         std::uint16_t defaultValue) const;
  // Removes the key below the path with all its values.
  bool DeleteKey(const std::string& subKey);

 private:
  std::string KeyPath(const std::string& subKey) const;

  std::uint32_t m_hHive;
  std::string m_strSubKeyPath;
};

}  // namespace cutils
