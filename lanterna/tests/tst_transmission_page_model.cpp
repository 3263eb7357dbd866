#include <gtest/gtest.h>

#include "PageTestSupport.h"
#include "pages/TransmissionPageModel.h"

using namespace lanterna;
using namespace lanterna::test;

namespace {

std::vector<std::uint16_t> Table(std::uint16_t r69, std::uint16_t r70, std::uint16_t r71) {
  std::vector<std::uint16_t> table(72, 0);
  table[69] = r69;
  table[70] = r70;
  table[71] = r71;
  return table;
}

}  // namespace

TEST(TransmissionPage, AutoNegotiationAloneIsWrittenBackWithBothOtherBits) {
  for (const auto& [read, written] : {std::pair<std::uint16_t, std::uint16_t>{0x0001, 0x0007}, {0xFFE9, 0xFFEF}}) {
    auto table = Table(read, 30, 1);
    CTransmissionPageModel page(Ini(""));
    Load(page, table, true);
    EXPECT_EQ(Text(page, "TRAFFIC.SpeedDuplex"), "Auto Negotiate");
    EXPECT_FALSE(page.CommitSettings());
    EXPECT_EQ(table[69], written);
  }
}

TEST(TransmissionPage, SpeedAndDuplexMapToBitsOneAndTwo) {
  struct Case {
    std::uint16_t bits;
    const char* item;
  };
  for (const Case& c : {Case{0x0000, "10 MBit / Half Duplex"}, Case{0x0004, "10 MBit / Full Duplex"},
                        Case{0x0002, "100 MBit / Half Duplex"}, Case{0x0006, "100 MBit / Full Duplex"},
                        Case{0x0007, "Auto Negotiate"}}) {
    auto table = Table(0x0010, 0, 0);
    CTransmissionPageModel page(Ini(""));
    Load(page, table, true);
    Set(page, "TRAFFIC.SpeedDuplex", c.item);
    EXPECT_FALSE(page.CommitSettings());
    EXPECT_EQ(table[69], 0x0010 | c.bits) << c.item;
    table[69] = c.bits;
    ASSERT_TRUE(page.ReloadFromImage());
    EXPECT_EQ(Text(page, "TRAFFIC.SpeedDuplex"), c.item);
  }
}

TEST(TransmissionPage, TaskPriorityZeroOrAboveThreeIsNotChangedByAWrite) {
  for (const std::uint16_t priority : {0, 4, 0xFFFF}) {
    auto table = Table(0, 0, priority);
    CTransmissionPageModel page(Ini(""));
    Load(page, table, true);
    EXPECT_EQ(Text(page, "TRAFFIC.TaskPriority"), "");
    EXPECT_FALSE(page.CommitSettings());
    EXPECT_EQ(table[71], priority);
  }
  auto table = Table(0, 0, 3);
  CTransmissionPageModel page(Ini(""));
  Load(page, table, true);
  EXPECT_EQ(Text(page, "TRAFFIC.TaskPriority"), "[3] All tasks running");
  Set(page, "TRAFFIC.TaskPriority", "[1] KBUS running");
  EXPECT_FALSE(page.CommitSettings());
  EXPECT_EQ(table[71], 1);
}

TEST(TransmissionPage, FixedFullDuplexShowsTheWarning) {
  CTransmissionPageModel page(Ini(""));
  auto table = Table(0x0001, 0, 0);
  Load(page, table, true);
  EXPECT_FALSE(page.ShowsDuplexWarning());
  Set(page, "TRAFFIC.SpeedDuplex", "10 MBit / Full Duplex");
  EXPECT_TRUE(page.ShowsDuplexWarning());
  Set(page, "TRAFFIC.SpeedDuplex", "100 MBit / Half Duplex");
  EXPECT_FALSE(page.ShowsDuplexWarning());
  Set(page, "TRAFFIC.SpeedDuplex", "100 MBit / Full Duplex");
  EXPECT_TRUE(page.ShowsDuplexWarning());
  Set(page, "TRAFFIC.SpeedDuplex", "Auto Negotiate");
  EXPECT_FALSE(page.ShowsDuplexWarning());
}

TEST(TransmissionPage, WithoutBandwidthLimitingTimeAndPriorityAreDisabledButWritten) {
  auto table = Table(0x0010, 30, 2);
  CTransmissionPageModel page(Ini(""));
  Load(page, table, true);
  EXPECT_TRUE(Parameter(page, "TRAFFIC.ActivationTime").Enabled());
  SetTexts(page, {
      {"TRAFFIC.ActivationTime", "45"},
      {"TRAFFIC.TaskPriority", "[3] All tasks running"},
      {"TRAFFIC.BandwidthLimiting", "0"}});
  EXPECT_FALSE(Parameter(page, "TRAFFIC.ActivationTime").Enabled());
  EXPECT_FALSE(Parameter(page, "TRAFFIC.TaskPriority").Enabled());
  EXPECT_FALSE(page.CommitSettings());
  EXPECT_EQ(table[69], 0x0000);
  EXPECT_EQ(table[70], 45);
  EXPECT_EQ(table[71], 3);
}

TEST(TransmissionPage, TheActivationTimeRangeComesFromTheSntpSection) {
  CTransmissionPageModel page(Ini("[TRAFFIC]\nActivationTimeMax=5\n[SNTP]\nActivationTimeMax=100\nActivationTimeDef=7\n"));
  EXPECT_EQ(Text(page, "TRAFFIC.ActivationTime"), "7");
  const ValidationFailure failure{"TRAFFIC.ActivationTime", "Activation Time", "Please enter a value between 0 and 100."};
  EXPECT_EQ(Parameter(page, "TRAFFIC.ActivationTime").SetText("101"), failure);
  EXPECT_FALSE(Parameter(page, "TRAFFIC.ActivationTime").SetText("100"));
  CTransmissionPageModel builtIn(Ini(""));
  EXPECT_EQ(Text(builtIn, "TRAFFIC.ActivationTime"), "30");
}

// Bit 0 of register 69 comes with bits 1 and 2, or not at all: auto-negotiation alone is
// written back with both (tested above).
TEST(TransmissionPage, ReadThenCommitKeepsEveryRegister) {
  ExpectReadThenCommitKeepsImages<CTransmissionPageModel>(
      [](std::mt19937& random) {
        auto table = RandomWords(random, 72 + random() % 30);
        if (table[69] & 1) table[69] |= 0x0006;
        return table;
      },
      true, false);
}
