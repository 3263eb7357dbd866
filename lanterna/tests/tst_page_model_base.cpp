#include <gtest/gtest.h>

#include "PageTestSupport.h"
#include "pages/ProtocolPageModel.h"
#include "pages/SntpPageModel.h"

using namespace lanterna;
using namespace lanterna::test;

TEST(ParameterRecord, IniKeysOverrideTheBuiltInValuesOneByOne) {
  const CIniFile ini = Ini("[PROTOCOL]\nHttpPortMax=8080\n[OTHER]\nHttpPortMin=5\n");
  const tParameterRecord record = LoadParameterRecord(ini, "PROTOCOL", "HttpPort", {0, 65535, 80});
  EXPECT_EQ(record.min, 0);
  EXPECT_EQ(record.max, 8080);
  EXPECT_EQ(record.def, 80);
  EXPECT_EQ(record.value, 80);

  CIniFile missing;
  EXPECT_TRUE(missing.Load("/nonexistent/LANTERNA.INI"));
  const tParameterRecord builtIn = LoadParameterRecord(missing, "PROTOCOL", "HttpPort", {1, 2, 3});
  EXPECT_EQ(builtIn.min, 1);
  EXPECT_EQ(builtIn.max, 2);
  EXPECT_EQ(builtIn.value, 3);
}

TEST(PageModel, AnIniWithMinAboveMaxRejectsEveryValue) {
  CProtocolPageModel page(Ini("[PROTOCOL]\nHttpPortMin=100\nHttpPortMax=10\n"));
  for (const char* text : {"5", "50", "100"}) EXPECT_TRUE(Parameter(page, "PROTOCOL.HttpPort").SetText(text)) << text;
}

// The register keeps 16 bits: a range the INI file stretches beyond them must not take a value
// that would be written as another.
TEST(PageModel, AnIniRangeBeyondTheRegisterIsCutToWhatTheRegisterHolds) {
  const struct {
    const char* ini;
    const char* text;
    bool taken;
    const char* message;  // of a refusal
  } cases[] = {
      {"HttpPortMin=-5\nHttpPortMax=70000\n", "65535", true, ""},
      {"HttpPortMin=-5\nHttpPortMax=70000\n", "65536", false, "Please enter a value between 0 and 65535."},
      {"HttpPortMin=-5\nHttpPortMax=70000\n", "-1", false, "Please enter a value between 0 and 65535."},
      {"HttpPortMin=-5\nHttpPortMax=70000\n", "0", true, ""},
      {"HttpPortMin=10\nHttpPortMax=20\n", "9", false, "Please enter a value between 10 and 20."},
  };
  for (const auto& c : cases) {
    CProtocolPageModel page(Ini((std::string("[PROTOCOL]\n") + c.ini).c_str()));
    std::vector<std::uint16_t> table(60, 0);
    Load(page, table, true);
    const auto failure = Parameter(page, "PROTOCOL.HttpPort").SetText(c.text);
    EXPECT_EQ(failure.has_value(), !c.taken) << c.ini << c.text;
    if (failure) {
      EXPECT_EQ(failure->message, c.message) << c.ini << c.text;
      continue;
    }
    EXPECT_FALSE(page.CommitSettings()) << c.ini << c.text;
    ASSERT_TRUE(page.ReloadFromImage());
    EXPECT_EQ(Text(page, "PROTOCOL.HttpPort"), c.text) << c.ini;
  }
}

TEST(PageModel, EditedTextIsParsedAndCheckedAsTheFieldDoes) {
  CProtocolPageModel page(Ini(""));
  CPageParameter& port = Parameter(page, "PROTOCOL.HttpPort");
  const ValidationFailure range{"PROTOCOL.HttpPort", "HTTP-Port", "Please enter a value between 0 and 65535."};

  EXPECT_FALSE(port.SetText(""));  // an emptied field is 0
  EXPECT_EQ(port.Text(), "0");
  EXPECT_FALSE(port.SetText("8080abc"));
  EXPECT_EQ(port.Text(), "8080");

  EXPECT_EQ(port.SetText("70000"), range);
  EXPECT_EQ(port.Text(), "70000");  // the field holds it, and the page refuses to be committed
  EXPECT_EQ(page.ValidateSettings(), range);

  EXPECT_EQ(port.SetText("x"), range);  // text that is no number counts as out of range
  EXPECT_EQ(port.Text(), "70000");
  EXPECT_FALSE(port.SetText("81"));
  EXPECT_FALSE(page.ValidateSettings());
  EXPECT_EQ(port.SetText("http"), range);
  EXPECT_EQ(page.ValidateSettings(), range);  // the unparsed text keeps the page from passing
}

TEST(PageModel, ReadingAgainForgetsATextThatDidNotParse) {
  std::vector<std::uint16_t> table(60, 0);
  table[59] = 8080;
  CProtocolPageModel page(Ini(""));
  Load(page, table, true);
  EXPECT_TRUE(Parameter(page, "PROTOCOL.HttpPort").SetText("G1"));
  EXPECT_TRUE(page.ValidateSettings());
  ASSERT_TRUE(page.ReloadFromImage());
  EXPECT_FALSE(page.ValidateSettings());
  EXPECT_EQ(Text(page, "PROTOCOL.HttpPort"), "8080");
}

TEST(PageModel, APageNotUsedOrNotLoadedCommitsNothing) {
  std::vector<std::uint16_t> table(60, 0);
  const auto before = table;
  CProtocolPageModel page(Ini(""));
  Set(page, "PROTOCOL.HttpPort", "1234");
  EXPECT_FALSE(page.CommitSettings());  // not used, no image
  EXPECT_EQ(table, before);

  page.SetEthTable(table, true, false);  // loaded but not used
  Set(page, "PROTOCOL.HttpPort", "1234");
  EXPECT_FALSE(page.CommitSettings());
  EXPECT_EQ(table, before);

  page.SetPageUsed(true);
  EXPECT_FALSE(page.CommitSettings());
  EXPECT_EQ(table[59], 1234);
}

TEST(PageModel, AnImageTooShortForThePageIsNeitherReadNorWritten) {
  std::vector<std::uint16_t> table(59, 0x5555);  // register 59, the HTTP port, is missing
  const auto before = table;
  CProtocolPageModel page(Ini(""));
  page.SetPageUsed(true);
  EXPECT_FALSE(page.SetEthTable(table, true, false));
  EXPECT_FALSE(page.IsLoaded());
  EXPECT_FALSE(page.CommitSettings());
  EXPECT_EQ(table, before);

  // The older layout needs only registers 3 and 4.
  std::vector<std::uint16_t> older = {0, 0, 0, 1, 8080};
  EXPECT_TRUE(page.SetEthTable(older, false, false));
  EXPECT_EQ(Text(page, "PROTOCOL.HttpPort"), "8080");
}

TEST(PageModel, TakingAPageOutOfTheSheetForgetsTheImages) {
  std::vector<std::uint16_t> table(60, 0);
  CProtocolPageModel page(Ini(""));
  Load(page, table, true);
  page.SetPageUsed(false);
  EXPECT_FALSE(page.IsLoaded());
  page.SetPageUsed(true);
  EXPECT_FALSE(page.CommitSettings());
  EXPECT_EQ(table[59], 0);
}

TEST(PageModel, InRangeRuleTestsThePresentValueNotTheRegister) {
  CSntpPageModel page(Ini("[SNTP]\nClientIntervalMax=100\n"));
  std::vector<std::uint16_t> table(21, 0);
  table[6] = 500;  // outside the INI's range: taken unchanged, since the present value (0) is inside
  Load(page, table, true);
  EXPECT_EQ(Text(page, "SNTP.ClientInterval"), "500");
  const ValidationFailure failure{"SNTP.ClientInterval", "SNTP Client Interval",
                                  "Please enter a value between 0 and 100."};
  EXPECT_EQ(page.CommitSettings(), failure);

  table[6] = 50;  // the present value is now outside, so the register is not taken again
  ASSERT_TRUE(page.ReloadFromImage());
  EXPECT_EQ(Text(page, "SNTP.ClientInterval"), "500");

  Set(page, "SNTP.ClientInterval", "60");
  EXPECT_FALSE(page.CommitSettings());
  EXPECT_EQ(table[6], 60);
}
