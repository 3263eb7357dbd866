#include "cli/SettingLines.h"

#include "Platform/TextCase.h"
#include "cli/CliError.h"
#include "cli/InputFile.h"

namespace lanterna::cli {

namespace {

// Larger files are not settings a read printed.
constexpr std::uintmax_t kMaxFileSize = 1024 * 1024;

// A stray carriage return (lines that end in LF CR) counts as a blank, never as part of a key.
constexpr std::string_view kBlanks = " \t\r";

SettingLine ParseSetting(std::string_view text, const std::string& origin) {
  const auto equals = text.find('=');
  const std::string_view key = fennec::Trimmed(text.substr(0, equals), kBlanks);
  if (equals == std::string_view::npos || key.empty())
    throw CBadInput(origin + ": '" + std::string(text) + "' is not of the form KEY=VALUE");
  return {std::string(key), std::string(text.substr(equals + 1)), origin};
}

}  // namespace

std::vector<SettingLine> SettingsFromArguments(const std::vector<std::string>& arguments) {
  std::vector<SettingLine> settings;
  for (const std::string& argument : arguments) settings.push_back(ParseSetting(argument, "argument"));
  return settings;
}

std::vector<SettingLine> SettingsFromText(std::string_view text, const std::string& name) {
  std::vector<SettingLine> settings;
  std::size_t number = 0;
  while (!text.empty()) {
    const auto end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    ++number;
    // A CRLF file converted once more ends its lines in CR CR LF: every CR there is line end,
    // none of it belongs to the value (a device would store it and a read show it invisibly).
    while (line.ends_with('\r')) line.remove_suffix(1);
    const std::string_view content = fennec::Trimmed(line, kBlanks);
    if (content.empty() || content.starts_with('#')) continue;
    settings.push_back(ParseSetting(line, name + ":" + std::to_string(number)));
  }
  return settings;
}

std::vector<SettingLine> SettingsFromFile(const std::filesystem::path& file) {
  const std::string text = ReadInputFile(file, kMaxFileSize, "is too large for a settings file");
  // A file of other bytes is not shown back: it may be anything, a terminal's escapes included.
  for (const char c : text)
    if (static_cast<unsigned char>(c) < 0x20 && c != '\n' && c != '\r' && c != '\t')
      throw CBadInput(file.string() + " is not a text file of KEY=VALUE lines");
  return SettingsFromText(text, file.string());
}

}  // namespace lanterna::cli
