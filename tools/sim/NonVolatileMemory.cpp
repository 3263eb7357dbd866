#include "NonVolatileMemory.h"

#include <charconv>

#include "HexText.h"
#include "Platform/StoreFile.h"

namespace fennec::sim {

namespace {

constexpr std::string_view kHeader = "fennec-sim non-volatile memory 1";
constexpr std::size_t kWordsPerLine = 16;
constexpr std::size_t kMaxRegisters = 256;

// Reads blank-separated tokens front to back; every conversion says whether it worked.
class Tokens {
 public:
  explicit Tokens(std::string_view text) : m_text(text) {}

  std::string_view Next() {
    const std::size_t start = m_text.find_first_not_of(" \t\r\n");
    if (start == std::string_view::npos) {
      m_text = {};
      return {};
    }
    m_text.remove_prefix(start);
    const std::size_t end = std::min(m_text.find_first_of(" \t\r\n"), m_text.size());
    const std::string_view token = m_text.substr(0, end);
    m_text.remove_prefix(end);
    return token;
  }

  template <typename Number>
  bool Next(Number& out, int base = 10) {
    const std::string_view token = Next();
    const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), out, base);
    return !token.empty() && error == std::errc() && end == token.data() + token.size();
  }

  bool Expect(std::string_view words) {
    Tokens expected(words);
    for (std::string_view word = expected.Next(); !word.empty(); word = expected.Next())
      if (Next() != word) return false;
    return true;
  }

 private:
  std::string_view m_text;
};

DecodedMemory Damaged(DecodedMemory decoded, std::string problem) {
  decoded.saved.reset();
  decoded.problem = std::move(problem);
  return decoded;
}

}  // namespace

std::string EncodeSaved(std::string_view profileName, const SavedParameters& saved) {
  std::string text(kHeader);
  text += "\nprofile " + std::string(profileName) + "\n";
  for (const auto& [table, words] : saved.tables) {
    text += "table " + std::to_string(table) + " " + std::to_string(words.size());
    for (std::size_t i = 0; i < words.size(); ++i) text += (i % kWordsPerLine == 0 ? "\n" : " ") + Hex4(words[i]);
    text += "\n";
  }
  text += "clock " + std::to_string(saved.clock.Offset()) + " " + std::to_string(saved.clock.TimeZone()) + "\n";
  text += "end\n";
  return text;
}

DecodedMemory DecodeSaved(std::string_view text, const Profile& profile) {
  DecodedMemory decoded;
  Tokens tokens(text);
  if (!tokens.Expect(kHeader) || !tokens.Expect("profile")) return Damaged(decoded, "not a memory file");
  decoded.profileName = tokens.Next();
  if (decoded.profileName != profile.name)
    return Damaged(decoded, "the file holds the memory of profile '" + decoded.profileName + "'");

  SavedParameters saved;
  for (std::size_t expectedTables = profile.parameterTables.size(); expectedTables > 0; --expectedTables) {
    unsigned table = 0;
    std::size_t count = 0;
    if (!tokens.Expect("table") || !tokens.Next(table) || !tokens.Next(count))
      return Damaged(decoded, "a table header is damaged");
    const auto factory = table > 0xFF ? profile.parameterTables.end()
                                      : profile.parameterTables.find(static_cast<std::uint8_t>(table));
    if (factory == profile.parameterTables.end() || saved.tables.contains(factory->first))
      return Damaged(decoded, "table " + std::to_string(table) + " is not a parameter table of the profile");
    if (count > kMaxRegisters || count != factory->second.size())
      return Damaged(decoded, "table " + std::to_string(table) + " has " + std::to_string(count) + " registers");
    TableImage words(count);
    for (std::uint16_t& word : words)
      if (!tokens.Next(word, 16)) return Damaged(decoded, "a word of table " + std::to_string(table) + " is damaged");
    saved.tables[factory->first] = std::move(words);
  }

  std::int64_t offset = 0;
  std::uint16_t timeZone = 0;
  if (!tokens.Expect("clock") || !tokens.Next(offset) || !tokens.Next(timeZone)) return Damaged(decoded, "the clock line is damaged");
  if (!tokens.Expect("end") || !tokens.Next().empty()) return Damaged(decoded, "the file does not end where it should");
  saved.clock = DeviceClock(offset, timeZone);
  decoded.saved = std::move(saved);
  return decoded;
}

NonVolatileMemory::NonVolatileMemory(const Profile& profile, std::filesystem::path file)
    : m_profileName(profile.name), m_file(std::move(file)) {
  m_content.tables = profile.parameterTables;
  if (!m_file.empty()) Load(profile);
}

void NonVolatileMemory::Load(const Profile& profile) {
  const std::optional<std::string> text = platform::ReadWholeFile(m_file);
  if (!text) {
    m_report = "no memory file yet at " + m_file.string() + ": factory settings";
    return;
  }
  DecodedMemory decoded = DecodeSaved(*text, profile);
  if (decoded.saved) {
    m_content = std::move(*decoded.saved);
    m_origin = Origin::File;
    m_report = "memory loaded from " + m_file.string();
    return;
  }
  if (!decoded.profileName.empty() && decoded.profileName != profile.name && FindProfile(decoded.profileName)) {
    m_origin = Origin::OtherProfile;
    m_report = m_file.string() + ": " + decoded.problem;
    return;
  }
  // Keep the damaged file for inspection rather than overwriting it with the next save.
  const auto aside = platform::MoveAside(m_file);
  m_origin = Origin::FactoryAfterDamage;
  m_report = m_file.string() + " is damaged (" + decoded.problem + "), " +
             (aside ? "moved to " + aside->string() : std::string("could not be moved aside")) + ": factory settings";
}

bool NonVolatileMemory::Store(SavedParameters content) {
  m_content = std::move(content);
  if (m_file.empty()) return true;
  // Under the file's lock, so that a simulator killed in an earlier save leaves nothing behind
  // for long, and two simulators on one file save in turn.
  const platform::StoreLock lock(m_file);
  if (!lock.Held()) return false;
  platform::RemoveAbandonedTemporaries(m_file);
  return platform::ReplaceFileAtomically(m_file, EncodeSaved(m_profileName, m_content));
}

}  // namespace fennec::sim
