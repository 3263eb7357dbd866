// The catalogue's string tables, the values its texts take and the formatting of them.
#include <gtest/gtest.h>

#include <cctype>
#include <initializer_list>
#include <set>
#include <string>

#include "ErrorDetailValues.h"
#include "ErrorLanguage.h"
#include "ErrorStrings.h"
#include "FennecErrorHandler.h"
#include "SafeFormat.h"

using namespace fennec;

namespace {

constexpr std::uint16_t kLanguages[] = {kLanguageGerman, kLanguageEnglish, kLanguageFrench};

const std::initializer_list<const tErrorID*> kCatalogueTables = {
    CFennecErrorHandler::m_CommError, CFennecErrorHandler::m_PortError, CFennecErrorHandler::m_KBError,
    CFennecErrorHandler::m_BKError,   CFennecErrorHandler::m_KLError,   CFennecErrorHandler::m_BKReadTabError};

template <typename Visit>
void ForEachRow(Visit visit) {
  for (const tErrorID* table : kCatalogueTables)
    for (const tErrorID* row = table; row->dwErrorCode != 0xFFFFFFFF; ++row) visit(*row);
}

std::set<std::uint32_t> IdsOf(std::span<const ErrorString> table) {
  std::set<std::uint32_t> ids;
  for (const ErrorString& entry : table) ids.insert(entry.id);
  return ids;
}

// The conversion characters of a text's placeholders, in order.
std::string Conversions(std::string_view text) {
  std::string conversions;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') continue;
    std::size_t j = i + 1;
    while (j < text.size() && (std::isdigit(static_cast<unsigned char>(text[j])) || text[j] == '-')) ++j;
    if (j < text.size() && text[j] != '%') conversions += text[j];
    i = j;
  }
  return conversions;
}

// 'd' for a number, 's' for a text.
std::string Kinds(const std::vector<FormatArg>& values) {
  std::string kinds;
  for (const FormatArg& value : values) kinds += std::holds_alternative<std::int64_t>(value) ? 'd' : 's';
  return kinds;
}

TEST(ErrorStrings, EveryCatalogueIdHasATextInEveryLanguage) {
  std::set<std::uint32_t> ids{6098, 6099};
  ForEachRow([&ids](const tErrorID& row) { ids.insert({row.uTitleID, row.uTextID, row.uDetailID}); });
  for (const KBUSERRORLIST* row = CFennecErrorHandler::m_KBusErrList; row->dwErrorCode != 0xFFFF; ++row)
    ids.insert(row->uStringID);
  EXPECT_EQ(ids.size(), 114u);  // 2 general, 5 titles, text and detail of 51 rows, 5 terminal-bus texts

  for (std::uint16_t language : kLanguages)
    for (std::uint32_t id : ids) EXPECT_FALSE(ErrorText(ErrorStringsOf(language), id).empty()) << language << ": " << id;
}

TEST(ErrorStrings, GermanHasTheEnglishIdsAndOneMore) {
  std::set<std::uint32_t> german = IdsOf(GermanErrorStrings());
  const std::set<std::uint32_t> english = IdsOf(EnglishErrorStrings());
  EXPECT_EQ(german.size(), GermanErrorStrings().size()) << "an id twice";
  EXPECT_EQ(english.size(), EnglishErrorStrings().size()) << "an id twice";
  EXPECT_EQ(ErrorText(GermanErrorStrings(), 6703), "Dienst");
  german.erase(6703);
  EXPECT_EQ(german, english);
}

TEST(ErrorStrings, FrenchAndUnknownLanguagesReadTheEnglishTexts) {
  EXPECT_EQ(ErrorText(ErrorStringsOf(kLanguageFrench), 6099), "Unknown Error !");
  EXPECT_EQ(ErrorText(ErrorStringsOf(1049), 6202), "Acces denied !");
  EXPECT_EQ(ErrorText(ErrorStringsOf(kLanguageFrench), 6703), "");
  EXPECT_EQ(ErrorText(EnglishErrorStrings(), 4711), "");
}

// A translation with a placeholder too many, too few or of the wrong kind fails here.
TEST(ErrorStrings, PlaceholdersMatchTheInsertedValues) {
  const ERRORDETAILS details{"COM1", 1, 2, 3, "Restart"};
  for (std::uint16_t language : kLanguages) {
    const std::span<const ErrorString> strings = ErrorStringsOf(language);
    ForEachRow([&](const tErrorID& row) {
      const std::string values = Kinds(DetailValues(row.uDetailID, language, details));
      const std::string detail = Conversions(ErrorText(strings, row.uDetailID));
      if (language == kLanguageGerman)
        EXPECT_EQ(detail, values) << row.uDetailID;
      else
        EXPECT_EQ(detail, values.substr(0, detail.size())) << row.uDetailID;
      EXPECT_EQ(Conversions(ErrorText(strings, row.uTextID)), TextTakesServiceName(row.uDetailID) ? "s" : "")
          << row.uTextID;
      EXPECT_EQ(Conversions(ErrorText(strings, row.uTitleID)), "") << row.uTitleID;
    });
    for (const KBUSERRORLIST* row = CFennecErrorHandler::m_KBusErrList; row->dwErrorCode != 0xFFFF; ++row)
      EXPECT_EQ(Conversions(ErrorText(strings, row->uStringID)), row->bWithArgument ? "d" : "") << row->uStringID;
    EXPECT_EQ(Conversions(ErrorText(strings, 6098)), "Xd");
  }
}

TEST(DetailValues, NullTextsAndLanguageOrder) {
  const ERRORDETAILS none{nullptr, 0, 5, 7, nullptr};
  EXPECT_EQ(DetailValues(6221, kLanguageEnglish, none), std::vector<FormatArg>{std::string_view("COM-Port")});
  EXPECT_EQ(DetailValues(6385, kLanguageGerman, none), std::vector<FormatArg>{std::string_view("")});
  const std::vector<FormatArg> registerThenTable{std::int64_t{7}, std::int64_t{5}};
  const std::vector<FormatArg> tableThenRegister{std::int64_t{5}, std::int64_t{7}};
  EXPECT_EQ(DetailValues(6383, kLanguageEnglish, none), registerThenTable);
  EXPECT_EQ(DetailValues(6383, kLanguageGerman, none), registerThenTable);
  EXPECT_EQ(DetailValues(6384, kLanguageGerman, none), tableThenRegister);
  EXPECT_EQ(DetailValues(6384, kLanguageFrench, none), std::vector<FormatArg>{std::int64_t{7}});
  EXPECT_TRUE(DetailValues(6336, kLanguageGerman, none).empty());
}

std::string Format(std::string_view pattern, std::initializer_list<FormatArg> args) {
  return FormatText(pattern, std::span<const FormatArg>(args.begin(), args.size()));
}

TEST(FormatText, NumbersAndTexts) {
  EXPECT_EQ(Format("Errorcode: 0x%08X (%d)", {std::int64_t{0x20088250}, std::int64_t{0x20088250}}),
            "Errorcode: 0x20088250 (537428560)");
  EXPECT_EQ(Format("0x%08X", {std::int64_t{0xAB}}), "0x000000AB");
  EXPECT_EQ(Format("%x|%X", {std::int64_t{0xBEEF}, std::int64_t{-1}}), "beef|FFFFFFFF");
  EXPECT_EQ(Format("%d %i %u", {std::int64_t{-5}, std::int64_t{0}, std::int64_t{4294967295}}), "-5 0 4294967295");
  EXPECT_EQ(Format("[%05d][%-4d][%4s]", {std::int64_t{-5}, std::int64_t{7}, std::string_view("ab")}),
            "[-0005][7   ][  ab]");
  EXPECT_EQ(Format("Reason:\t%s is not opened.", {std::string_view("COM3")}), "Reason:\tCOM3 is not opened.");
}

TEST(FormatText, NothingInTheTextCanMisreadTheValues) {
  EXPECT_EQ(Format("%s and %d", {std::int64_t{42}, std::string_view("COM3")}), "42 and COM3");
  EXPECT_EQ(Format("Table %d register %d%s.", {std::int64_t{5}}), "Table 5 register .");
  EXPECT_EQ(Format("only %d", {std::int64_t{1}, std::int64_t{2}}), "only 1");
  EXPECT_EQ(Format("%n %p %ld %.3d 100%", {std::int64_t{1}}), "%n %p %ld %.3d 100%");
  EXPECT_EQ(Format("%%d %d%%", {std::int64_t{9}}), "%d 9%");
  EXPECT_EQ(Format("%0", {std::int64_t{9}}), "%0");
  EXPECT_EQ(Format("%999999999999999999999d", {std::int64_t{1}}), std::string(63, ' ') + "1");
  EXPECT_EQ(Format("", {std::int64_t{1}}), "");
}

TEST(ErrorLanguage, FirstSetVariableDecides) {
  EXPECT_EQ(LanguageFromLocale(nullptr, nullptr, nullptr), kLanguageEnglish);
  EXPECT_EQ(LanguageFromLocale(nullptr, nullptr, "de_DE.UTF-8"), kLanguageGerman);
  EXPECT_EQ(LanguageFromLocale(nullptr, "fr_CA.UTF-8", "de_DE.UTF-8"), kLanguageFrench);
  EXPECT_EQ(LanguageFromLocale("C", "de_DE", "fr_FR"), kLanguageEnglish);
  EXPECT_EQ(LanguageFromLocale("", "", "de_AT"), kLanguageGerman);  // empty counts as not set
  EXPECT_EQ(LanguageFromLocale("en_GB.UTF-8", nullptr, "fr_FR"), kLanguageEnglish);
  EXPECT_EQ(LanguageFromLocale(nullptr, nullptr, "POSIX"), kLanguageEnglish);
}

}  // namespace
