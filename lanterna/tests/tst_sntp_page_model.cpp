#include <gtest/gtest.h>

#include "PageTestSupport.h"
#include "pages/SntpPageModel.h"

using namespace lanterna;
using namespace lanterna::test;

TEST(SntpPage, WithoutAnIniTheTimeOutStartsAt2000AndTheIntervalAt0) {
  CSntpPageModel page(Ini(""));
  ExpectTexts(page, {
      {"SNTP.ClientTimeout", "2000"},
      {"SNTP.ClientInterval", "0"},
      {"SNTP.TimeServer", "0.0.0.0"}});
}

TEST(SntpPage, AWriteChangesOnlyBit3OfRegister0AndCarriesDaylightSavingThrough) {
  std::vector<std::uint16_t> table(21, 0);
  table[0] = 0xFFF7;
  table[6] = 3600;
  table[7] = 1500;
  table[8] = 5;
  table[19] = 0x10AC;  // 172.16.0.1
  table[20] = 0x0100;
  CSntpPageModel page(Ini(""));
  Load(page, table, true);
  ExpectTexts(page, {
      {"SNTP.Client", "0"},
      {"SNTP.TimeServer", "172.16.0.1"},
      {"SNTP.ClientInterval", "3600"}});

  Set(page, "SNTP.Client", "1");
  Set(page, "SNTP.ClientTimeout", "800");
  EXPECT_FALSE(page.CommitSettings());
  EXPECT_EQ(table[0], 0xFFFF);
  EXPECT_EQ(table[7], 800);
  EXPECT_EQ(table[8], 5);
}

TEST(SntpPage, SwitchedOffTheFieldsAreDisabledButStillWritten) {
  std::vector<std::uint16_t> table(21, 0);
  table[0] = 0x0008;
  CSntpPageModel page(Ini(""));
  Load(page, table, true);
  EXPECT_TRUE(Parameter(page, "SNTP.ClientInterval").Enabled());
  SetTexts(page, {
      {"SNTP.ClientInterval", "120"},
      {"SNTP.TimeServer", "10.0.0.9"},
      {"SNTP.Client", "false"}});
  for (const char* key : {"SNTP.TimeServer", "SNTP.ClientInterval", "SNTP.ClientTimeout"})
    EXPECT_FALSE(Parameter(page, key).Enabled()) << key;
  EXPECT_TRUE(Parameter(page, "SNTP.Client").Enabled());
  EXPECT_FALSE(page.CommitSettings());
  EXPECT_EQ(table[0], 0);
  EXPECT_EQ(table[6], 120);
  EXPECT_EQ(table[19], 0x000A);
  EXPECT_EQ(table[20], 0x0900);
}

TEST(SntpPage, TheIntervalIsCheckedBeforeTheTimeOut) {
  CSntpPageModel page(Ini("[SNTP]\nClientIntervalMax=10\nClientTimeoutMax=10\n"));
  std::vector<std::uint16_t> table(21, 0);
  table[6] = 20;
  table[7] = 30;
  Load(page, table, true);
  EXPECT_EQ(page.ValidateSettings()->key, "SNTP.ClientInterval");
  Set(page, "SNTP.ClientInterval", "10");
  EXPECT_EQ(page.ValidateSettings()->key, "SNTP.ClientTimeout");
}

TEST(SntpPage, ReadThenCommitKeepsEveryRegister) {
  ExpectReadThenCommitKeepsImages<CSntpPageModel>(
      [](std::mt19937& random) { return RandomWords(random, 21 + random() % 60); }, true, false);
}
