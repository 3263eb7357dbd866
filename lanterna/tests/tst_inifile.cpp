#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "base/IniFile.h"

using lanterna::CIniFile;

namespace {

CIniFile FromText(const char* text) {
  CIniFile ini;
  ini.LoadFromText(text);
  return ini;
}

}  // namespace

TEST(CIniFile, SectionsAndKeysIgnoreCaseAndTheFirstOccurrenceWins) {
  const CIniFile ini = FromText(
      "; comment\r\n"
      "[0750-0352]\r\n"
      "  Version = 01.02.03(04) \r\n"
      "FBC=32\r\n"
      "fbc=16\r\n"
      "[0750-0352]\r\n"
      "PFC=0\r\n"
      "[other]\r\n"
      "Version=x\r\n");
  EXPECT_EQ(ini.GetString("0750-0352", "version", "d"), "01.02.03(04)");
  EXPECT_EQ(ini.GetInt("0750-0352", "FBC", -1), 32);
  EXPECT_EQ(ini.GetInt("0750-0352", "PFC", -1), 0);  // a repeated section adds its keys
  EXPECT_EQ(ini.GetString("OTHER", "VERSION", "d"), "x");
}

TEST(CIniFile, MissingKeysSectionsAndFilesGiveTheDefault) {
  const CIniFile ini = FromText("[A]\nX=1\nEmpty=\nnokey\n");
  EXPECT_EQ(ini.GetString("A", "Y", "EOL"), "EOL");
  EXPECT_EQ(ini.GetString("B", "X", "EOL"), "EOL");
  EXPECT_EQ(ini.GetString("A", "Empty", "EOL"), "");
  EXPECT_EQ(ini.GetInt("A", "Empty", -1), -1);
  EXPECT_EQ(ini.GetString("A", "nokey", "d"), "d");

  CIniFile missing;
  EXPECT_TRUE(missing.Load("/nonexistent/folder/LANTERNA.INI"));
  EXPECT_EQ(missing.GetInt("A", "X", -1), -1);
}

TEST(CIniFile, IntegersReadTheLeadingSignedNumber) {
  const CIniFile ini = FromText("[A]\na=-1\nb= +16 \nc=32abc\nd=abc\ne=99999999999\nf=-99999999999\n");
  EXPECT_EQ(ini.GetInt("A", "a", 0), -1);
  EXPECT_EQ(ini.GetInt("A", "b", 0), 16);
  EXPECT_EQ(ini.GetInt("A", "c", 0), 32);
  EXPECT_EQ(ini.GetInt("A", "d", -1), 0);
  EXPECT_EQ(ini.GetInt("A", "e", 0), 2147483647);
  EXPECT_EQ(ini.GetInt("A", "f", 0), -2147483647 - 1);
}

TEST(CIniFile, QuotedValuesLoseTheirQuotesAndLongValuesAreCut) {
  const CIniFile ini = FromText("[A]\nq=\" spaced \"\nh='x'\nodd=\"x'\nlong=0123456789ABCDEF\n");
  EXPECT_EQ(ini.GetString("A", "q", ""), " spaced ");
  EXPECT_EQ(ini.GetString("A", "h", ""), "x");
  EXPECT_EQ(ini.GetString("A", "odd", ""), "\"x'");
  EXPECT_EQ(ini.GetString("A", "long", "", 12), "0123456789AB");
  EXPECT_EQ(ini.GetString("A", "missing", "00.00.00(00)-and-more", 12), "00.00.00(00)");
}

TEST(CIniFile, KeysBeforeAnySectionAreIgnoredAndABomIsSkipped) {
  const CIniFile ini = FromText("\xEF\xBB\xBFX=1\n[A]\nX=2\n");
  EXPECT_EQ(ini.GetInt("A", "X", 0), 2);
  EXPECT_EQ(ini.GetInt("", "X", 7), 7);
}

TEST(CIniFile, AnOversizedFileIsRefusedAndReadsAsDefaults) {
  const auto path = std::filesystem::temp_directory_path() / ("big-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + ".ini");
  {
    std::ofstream out(path);
    out << "[A]\nX=1\n" << std::string(CIniFile::kMaxFileSize, ';');
  }
  CIniFile ini;
  EXPECT_FALSE(ini.Load(path));
  EXPECT_EQ(ini.GetInt("A", "X", -1), -1);
  std::filesystem::remove(path);
}
