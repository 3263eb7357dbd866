#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace lanterna {

// The program's INI file, read with the semantics of the platform's profile functions:
// sections and keys without regard to case, the first occurrence wins, blanks around keys and
// values are dropped, a value in matching quotes loses them, and a missing file or key reads
// as the caller's default. The file is only ever read.
class CIniFile {
 public:
  // Larger files are not INI files of this program; they read as missing.
  static constexpr std::uintmax_t kMaxFileSize = 1024 * 1024;

  CIniFile() = default;

  // False when the file exists but cannot be read or is too large; the object then holds
  // nothing, so every read gives its default.
  bool Load(const std::filesystem::path& path);
  void LoadFromText(std::string_view text);

  // The value, cut to maxLength characters as the profile functions cut to their buffer.
  std::string GetString(std::string_view section, std::string_view key, std::string_view defaultValue,
                        std::size_t maxLength = 255) const;
  // A key that is missing or empty gives the default; otherwise the leading decimal number
  // with its sign, 0 when there is none; numbers beyond int saturate.
  int GetInt(std::string_view section, std::string_view key, int defaultValue) const;

 private:
  struct Entry {
    std::string section;
    std::string key;
    std::string value;
  };
  const Entry* Find(std::string_view section, std::string_view key) const;

  std::vector<Entry> m_entries;
};

}  // namespace lanterna
