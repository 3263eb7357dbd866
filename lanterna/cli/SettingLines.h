#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace lanterna::cli {

// One "KEY=VALUE" a write is asked to set, and where it came from for the messages.
struct SettingLine {
  std::string key;
  std::string value;  // everything after the first "=", as written
  std::string origin;
  bool operator==(const SettingLine&) const = default;
};

// From the command's operands. Throws CBadInput for an operand without "=" or without key.
std::vector<SettingLine> SettingsFromArguments(const std::vector<std::string>& arguments);

// From the lines a read prints: blank lines and lines beginning with "#" are skipped, a
// line end of "\r\n" counts as "\n", and blanks around a key are spaces, tabs and carriage
// returns. Throws CBadInput as above, naming the line.
std::vector<SettingLine> SettingsFromText(std::string_view text, const std::string& name);

// Throws CBadInput when the file cannot be read.
std::vector<SettingLine> SettingsFromFile(const std::filesystem::path& file);

}  // namespace lanterna::cli
