#include <gtest/gtest.h>

#include "PageTestSupport.h"
#include "pages/PFCPageModel.h"

using namespace lanterna;
using namespace lanterna::test;

namespace {

struct Images {
  std::vector<std::uint16_t> table0 = std::vector<std::uint16_t>(27, 0);
  std::vector<std::uint16_t> table100 = std::vector<std::uint16_t>(10, 0x7777);
};

}  // namespace

TEST(PFCPage, BothSwitchesLiveInRegister26OfTable0) {
  for (const auto& [read, written] : {std::pair<std::uint16_t, std::uint16_t>{0x0011, 0x0000}, {0x8013, 0x8002}}) {
    Images images;
    images.table0[26] = read;
    CPFCPageModel page;
    page.SetArticleNo("4210-0377");
    Load(page, images.table100, true, true, &images.table0);
    EXPECT_EQ(Text(page, "PFC.ResetOutputs"), "1");
    EXPECT_EQ(Text(page, "PFC.AlternativeTargetId"), "1");
    Set(page, "PFC.ResetOutputs", "0");
    Set(page, "PFC.AlternativeTargetId", "0");
    EXPECT_FALSE(page.CommitSettings());
    EXPECT_EQ(images.table0[26], written);
    EXPECT_EQ(images.table100, std::vector<std::uint16_t>(10, 0x7777));
  }
}

TEST(PFCPage, OnlyOneModelMaySwitchTheAlternativeTargetId) {
  Images images;
  images.table0[26] = 0x0010;
  CPFCPageModel page;
  page.SetArticleNo("750-8202");
  Load(page, images.table100, true, true, &images.table0);
  EXPECT_FALSE(Parameter(page, "PFC.AlternativeTargetId").Editable());
  EXPECT_FALSE(page.OffersAlternativeTargetId());
  Set(page, "PFC.ResetOutputs", "1");
  EXPECT_FALSE(page.CommitSettings());
  EXPECT_EQ(images.table0[26], 0x0011);  // bit 4 as read

  page.SetArticleNo("4210-377/0000-0000");  // the same model, compared part by part
  EXPECT_TRUE(Parameter(page, "PFC.AlternativeTargetId").Editable());
}

TEST(PFCPage, ATable0WithoutRegister26IsNotTouched) {
  std::vector<std::uint16_t> table0(26, 0x1111);
  std::vector<std::uint16_t> table100(10, 0);
  CPFCPageModel page;
  page.SetPageUsed(true);
  page.SetCplTable(table0, true, true);
  EXPECT_FALSE(page.SetEthTable(table100, true, true));
  EXPECT_FALSE(page.CommitSettings());
  EXPECT_EQ(table0, std::vector<std::uint16_t>(26, 0x1111));
}

TEST(PFCPage, ReadThenCommitKeepsEveryRegister) {
  ExpectReadThenCommitKeepsImages<CPFCPageModel>(
      [](std::mt19937& random) { return RandomWords(random, random() % 80); }, true, true);
}
