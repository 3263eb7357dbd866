#include <gtest/gtest.h>

#include "PageTestSupport.h"
#include "pages/EthernetIPPageModel.h"

using namespace lanterna;
using namespace lanterna::test;

TEST(EthernetIPPage, WithoutAnIniThePlcOnlyCountsStartAt4) {
  CEthernetIPPageModel page(Ini(""));
  ExpectTexts(page, {
      {"ETHERNETIP.BkFbInpVarCnt", "0"},
      {"ETHERNETIP.BkFbOutVarCnt", "0"},
      {"ETHERNETIP.BkFbInpPlcOnlyVarCnt", "4"},
      {"ETHERNETIP.BkFbInpStartPlcVarCnt", "0"},
      {"ETHERNETIP.BkFbOutPlcOnlyVarCnt", "4"},
      {"ETHERNETIP.BkFbOutStartPlcVarCnt", "0"},
      {"ETHERNETIP.HeaderCfgOT", "[0] used"}});
}

TEST(EthernetIPPage, ACountAndItsOffsetShareTheMax) {
  std::vector<std::uint16_t> table(68, 0);
  CEthernetIPPageModel page(Ini(""));
  Load(page, table, true, true);
  Set(page, "ETHERNETIP.BkFbInpStartPlcVarCnt", "500");
  const ValidationFailure failure{"ETHERNETIP.BkFbInpPlcOnlyVarCnt", "PLC-only Input Variable Count",
                                  "Please enter a value between 0 and 12."};
  EXPECT_EQ(Parameter(page, "ETHERNETIP.BkFbInpPlcOnlyVarCnt").SetText("20"), failure);
  EXPECT_EQ(page.CommitSettings(), failure);
  Set(page, "ETHERNETIP.BkFbInpPlcOnlyVarCnt", "12");
  EXPECT_FALSE(page.CommitSettings());
  EXPECT_EQ(table[62], 12);
  EXPECT_EQ(table[63], 500);
  // The output pair has its own sum.
  Set(page, "ETHERNETIP.BkFbOutPlcOnlyVarCnt", "512");
  EXPECT_TRUE(Parameter(page, "ETHERNETIP.BkFbOutStartPlcVarCnt").SetText("1"));
}

TEST(EthernetIPPage, TheReadRuleUsesTheEffectiveMaxToo) {
  std::vector<std::uint16_t> table(68, 0);
  table[62] = 600;  // taken (the present 4 is in range), so the offset's range is now empty
  table[63] = 3;
  CEthernetIPPageModel page(Ini(""));
  Load(page, table, true, true);
  EXPECT_EQ(Text(page, "ETHERNETIP.BkFbInpPlcOnlyVarCnt"), "600");
  EXPECT_EQ(Text(page, "ETHERNETIP.BkFbInpStartPlcVarCnt"), "0");  // not taken
  const ValidationFailure failure{"ETHERNETIP.BkFbInpPlcOnlyVarCnt", "PLC-only Input Variable Count",
                                  "Please enter a value between 0 and 512."};
  EXPECT_EQ(page.CommitSettings(), failure);  // so the offset's loss is never sent
}

TEST(EthernetIPPage, AHeaderValueOtherThan0Or1ShowsNothingAndIsKept) {
  std::vector<std::uint16_t> table(68, 0);
  table[66] = 2;
  table[67] = 1;
  CEthernetIPPageModel page(Ini(""));
  Load(page, table, true, true);
  EXPECT_EQ(Text(page, "ETHERNETIP.HeaderCfgOT"), "");
  EXPECT_EQ(Text(page, "ETHERNETIP.HeaderCfgTO"), "[1] not used");
  Set(page, "ETHERNETIP.HeaderCfgTO", "[0] used");
  EXPECT_FALSE(page.CommitSettings());
  EXPECT_EQ(table[66], 2);
  EXPECT_EQ(table[67], 0);
}

TEST(EthernetIPPage, OnAFieldbusCouplerOnlyTheListsCanBeChanged) {
  std::vector<std::uint16_t> table(68, 0);
  CEthernetIPPageModel page(Ini(""));
  Load(page, table, true, false);
  for (const char* key : {"ETHERNETIP.BkFbInpVarCnt", "ETHERNETIP.BkFbOutStartPlcVarCnt"}) {
    EXPECT_TRUE(Parameter(page, key).Available()) << key;
    EXPECT_FALSE(Parameter(page, key).Enabled()) << key;
  }
  EXPECT_TRUE(Parameter(page, "ETHERNETIP.HeaderCfgOT").Enabled());
  Load(page, table, true, true);
  EXPECT_TRUE(Parameter(page, "ETHERNETIP.BkFbInpVarCnt").Enabled());
}

// PLC-only counts up to the max: a larger count empties its offset's range, so the offset
// would not be read (tested above).
TEST(EthernetIPPage, ReadThenCommitKeepsEveryRegister) {
  ExpectReadThenCommitKeepsImages<CEthernetIPPageModel>(
      [](std::mt19937& random) {
        auto table = RandomWords(random, 68 + random() % 30);
        table[62] %= 513;
        table[64] %= 513;
        return table;
      },
      true, true);
}
