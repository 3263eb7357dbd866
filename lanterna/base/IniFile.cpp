#include "base/IniFile.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <limits>
#include <sstream>
#include <system_error>

#include "Platform/TextCase.h"

namespace lanterna {

namespace {

std::string_view Unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
    return value.substr(1, value.size() - 2);
  return value;
}

}  // namespace

bool CIniFile::Load(const std::filesystem::path& path) {
  m_entries.clear();
  std::error_code error;
  if (!std::filesystem::exists(path, error)) return true;
  const auto size = std::filesystem::file_size(path, error);
  if (error || size > kMaxFileSize) return false;
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream text;
  text << in.rdbuf();
  LoadFromText(text.str());
  return true;
}

void CIniFile::LoadFromText(std::string_view text) {
  m_entries.clear();
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  std::string section;
  bool inSection = false;
  while (!text.empty()) {
    const auto end = text.find('\n');
    const std::string_view line = fennec::Trimmed(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);

    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      const auto close = line.find(']');
      section = std::string(fennec::Trimmed(line.substr(1, close == std::string_view::npos ? line.size() - 1 : close - 1)));
      inSection = true;
      continue;
    }
    const auto equals = line.find('=');
    if (!inSection || equals == std::string_view::npos) continue;
    m_entries.push_back({section, std::string(fennec::Trimmed(line.substr(0, equals))),
                         std::string(Unquote(fennec::Trimmed(line.substr(equals + 1))))});
  }
}

const CIniFile::Entry* CIniFile::Find(std::string_view section, std::string_view key) const {
  for (const Entry& entry : m_entries)
    if (fennec::EqualNoCase(entry.section, section) && fennec::EqualNoCase(entry.key, key)) return &entry;
  return nullptr;
}

std::string CIniFile::GetString(std::string_view section, std::string_view key, std::string_view defaultValue,
                                std::size_t maxLength) const {
  const Entry* entry = Find(section, key);
  const std::string_view value = entry != nullptr ? std::string_view(entry->value) : defaultValue;
  return std::string(value.substr(0, maxLength));
}

int CIniFile::GetInt(std::string_view section, std::string_view key, int defaultValue) const {
  const Entry* entry = Find(section, key);
  if (entry == nullptr || entry->value.empty()) return defaultValue;

  std::string_view text = fennec::Trimmed(entry->value);
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  // Saturates instead of wrapping: a huge number must not read as a small valid one.
  constexpr long long kLimit = std::numeric_limits<int>::max();
  long long value = 0;
  for (char c : text) {
    if (!std::isdigit(static_cast<unsigned char>(c))) break;
    value = std::min(value * 10 + (c - '0'), kLimit + 1);
  }
  if (negative) return static_cast<int>(-value);
  return static_cast<int>(std::min(value, kLimit));
}

}  // namespace lanterna
