#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <random>
#include <string>
#include <type_traits>
#include <utility>
#include <initializer_list>
#include <vector>

#include "base/IniFile.h"
#include "pages/CouplerSettingsPageModel.h"

namespace lanterna {

inline void PrintTo(const ValidationFailure& failure, std::ostream* out) {
  *out << "{" << failure.key << ", " << failure.title << ", " << failure.message << "}";
}

}  // namespace lanterna

namespace lanterna::test {

inline CIniFile Ini(const char* text) {
  CIniFile ini;
  ini.LoadFromText(text);
  return ini;
}

// A page of the connected device's sheet, loaded from the images.
inline void Load(CCouplerSettingsPageModel& page, std::vector<std::uint16_t>& table100, bool is32, bool isPFC = false,
                 std::vector<std::uint16_t>* table0 = nullptr) {
  page.SetPageUsed(true);
  if (table0) page.SetCplTable(*table0, is32, isPFC);
  ASSERT_TRUE(page.SetEthTable(table100, is32, isPFC));
}

inline CPageParameter& Parameter(const CCouplerSettingsPageModel& page, std::string_view key) {
  CPageParameter* parameter = page.FindParameter(key);
  if (!parameter) throw std::string("no parameter ") + std::string(key);
  return *parameter;
}

inline std::string Text(const CCouplerSettingsPageModel& page, std::string_view key) {
  return Parameter(page, key).Text();
}

// Sets a value that the page must accept.
inline void Set(CCouplerSettingsPageModel& page, std::string_view key, std::string_view text) {
  const auto failure = Parameter(page, key).SetText(text);
  EXPECT_FALSE(failure) << key << "=" << text << ": " << (failure ? failure->message : "");
}

// Several fields at once: each shows its text, or each takes its value.
using FieldTexts = std::initializer_list<std::pair<std::string_view, std::string_view>>;

inline void ExpectTexts(const CCouplerSettingsPageModel& page, FieldTexts fields) {
  for (const auto& [key, text] : fields) EXPECT_EQ(Text(page, key), text) << key;
}

inline void SetTexts(CCouplerSettingsPageModel& page, FieldTexts fields) {
  for (const auto& [key, text] : fields) Set(page, key, text);
}

inline std::vector<std::uint16_t> RandomWords(std::mt19937& random, std::size_t count) {
  std::uniform_int_distribution<int> word(0, 0xFFFF);
  std::vector<std::uint16_t> words(count);
  for (auto& w : words) w = static_cast<std::uint16_t>(word(random));
  return words;
}

// Pages with INI ranges are built from the INI file, the others without it.
template <class Page>
Page MakePage(const CIniFile& ini) {
  if constexpr (std::is_constructible_v<Page, const CIniFile&>)
    return Page(ini);
  else
    return Page();
}

// The property every page keeps: read and committed without an edit, the images stay as they
// were, bit for bit. The generator makes an image the page reads exactly.
template <class Page, class MakeImage>
void ExpectReadThenCommitKeepsImages(MakeImage makeImage, bool is32, bool isPFC, const char* ini = "") {
  std::mt19937 random(18);
  const CIniFile file = Ini(ini);
  for (int round = 0; round < 300; ++round) {
    std::vector<std::uint16_t> table100 = makeImage(random);
    std::vector<std::uint16_t> table0 = RandomWords(random, 27 + random() % 40);
    const auto before100 = table100;
    const auto before0 = table0;
    auto page = MakePage<Page>(file);
    Load(page, table100, is32, isPFC, &table0);
    page.CommitSettings();
    ASSERT_EQ(table100, before100) << "round " << round;
    ASSERT_EQ(table0, before0) << "round " << round;
  }
}

}  // namespace lanterna::test
