#include <gtest/gtest.h>

#include "PageTestSupport.h"
#include "pages/ModbusPageModel.h"

using namespace lanterna;
using namespace lanterna::test;

namespace {

const CNumberParameter& Number(const CModbusPageModel& page, const char* key) {
  return dynamic_cast<const CNumberParameter&>(Parameter(page, key));
}

}  // namespace

TEST(ModbusPage, DefaultsWithoutAnIniFollowTheGeneration) {
  CModbusPageModel page(Ini(""));
  // Built as an older device's page; the 32-bit values show once a 32-bit device is read.
  EXPECT_EQ(Number(page, "MODBUS.ConnectionWatchdog").Record().value, 0);
  EXPECT_EQ(Number(page, "MODBUS.TriggerMask1").Record().value, 0xFFFF);
  EXPECT_EQ(Number(page, "MODBUS.TriggerMask2").Record().value, 0xFFFF);
  EXPECT_EQ(Number(page, "MODBUS.ConnectionCount").Record().value, 5);
  EXPECT_EQ(Number(page, "MODBUS.ConnectionCount").Record().max, 5);
  EXPECT_EQ(Number(page, "MODBUS.WatchdogTimeout").Record().value, 1);

  std::vector<std::uint16_t> table(59, 0);
  Load(page, table, true);
  EXPECT_EQ(Number(page, "MODBUS.ConnectionWatchdog").Record().def, 600);
  std::vector<std::uint16_t> older(3, 0);
  Load(page, older, false);
  EXPECT_EQ(Number(page, "MODBUS.ConnectionWatchdog").Record().def, 0);
}

TEST(ModbusPage, GenerationDefaultsComeFromTheirOwnKeys) {
  CModbusPageModel page(Ini("[MODBUS]\nConnectionWatchdogDef32=90\nConnectionWatchdogDef16=9000\n"));
  EXPECT_EQ(Text(page, "MODBUS.ConnectionWatchdog"), "9000");
  std::vector<std::uint16_t> table(59, 0);
  Load(page, table, true);
  EXPECT_EQ(Number(page, "MODBUS.ConnectionWatchdog").Record().def, 90);
}

TEST(ModbusPage, The32BitGenerationReadsAndWritesItsSevenRegisters) {
  std::vector<std::uint16_t> table(60, 0xAAAA);
  table[1] = 1;
  table[2] = 1;
  table[3] = 50;
  table[4] = 0x00F0;
  table[5] = 0x0F00;
  table[57] = 3;
  table[58] = 0;  // taken: the present value lies in the range
  CModbusPageModel page(Ini(""));
  Load(page, table, true);
  ExpectTexts(page, {
      {"MODBUS.CloseSockets", "1"},
      {"MODBUS.WatchdogConfiguration", "[1] Alternate"},
      {"MODBUS.WatchdogTimeout", "50"},
      {"MODBUS.TriggerMask1", "0x00F0"},
      {"MODBUS.TriggerMask2", "0x0F00"},
      {"MODBUS.ConnectionCount", "3"},
      {"MODBUS.ConnectionWatchdog", "0"}});

  SetTexts(page, {
      {"MODBUS.CloseSockets", "0"},
      {"MODBUS.WatchdogConfiguration", "[0] standard"},
      {"MODBUS.WatchdogTimeout", "100"},
      {"MODBUS.TriggerMask1", "1234"},
      {"MODBUS.TriggerMask2", "0x0"},
      {"MODBUS.ConnectionWatchdog", "90"}});
  EXPECT_FALSE(page.CommitSettings());
  const std::vector<std::uint16_t> head = {0xAAAA, 0, 0, 100, 0x1234, 0};
  EXPECT_EQ(std::vector<std::uint16_t>(table.begin(), table.begin() + 6), head);
  EXPECT_EQ(table[57], 3);
  EXPECT_EQ(table[58], 90);
  EXPECT_EQ(table[59], 0xAAAA);
}

TEST(ModbusPage, OlderDevicesChangeOnlyRegister2AndEmptyTheExtendedFields) {
  std::vector<std::uint16_t> table = {0x1111, 0x2222, 9000, 0x4444, 0x5555, 0x6666};
  CModbusPageModel page(Ini(""));
  Load(page, table, false);
  EXPECT_EQ(Text(page, "MODBUS.ConnectionWatchdog"), "9000");
  for (const char* key : {"MODBUS.TriggerMask1", "MODBUS.TriggerMask2", "MODBUS.WatchdogTimeout",
                          "MODBUS.ConnectionCount", "MODBUS.WatchdogConfiguration", "MODBUS.CloseSockets"}) {
    EXPECT_EQ(Text(page, key), "") << key;
    EXPECT_FALSE(Parameter(page, key).Enabled()) << key;
  }
  Set(page, "MODBUS.ConnectionWatchdog", "5000");
  EXPECT_FALSE(page.CommitSettings());
  EXPECT_EQ(table, (std::vector<std::uint16_t>{0x1111, 0x2222, 5000, 0x4444, 0x5555, 0x6666}));
}

TEST(ModbusPage, AMaskBeyondAWordShowsTheHexadecimalMessage) {
  CModbusPageModel page(Ini(""));
  std::vector<std::uint16_t> table(59, 0);
  Load(page, table, true);
  const ValidationFailure failure{"MODBUS.TriggerMask1", "Function Code Mask 1",
                                  "Please enter a hexadecimal value between 0x0000 and 0xFFFF."};
  EXPECT_EQ(Parameter(page, "MODBUS.TriggerMask1").SetText("0x1FFFF"), failure);
  EXPECT_FALSE(Parameter(page, "MODBUS.TriggerMask1").SetText("0x"));  // a bare prefix is 0
  EXPECT_EQ(Text(page, "MODBUS.TriggerMask1"), "0x0000");
  EXPECT_FALSE(Parameter(page, "MODBUS.TriggerMask2").SetText("0x1G"));
  EXPECT_EQ(Text(page, "MODBUS.TriggerMask2"), "0x0001");
  EXPECT_TRUE(Parameter(page, "MODBUS.TriggerMask2").SetText("G1"));
}

TEST(ModbusPage, ADeviceValueOutsideTheIniRangeIsShownAndRefusedUntilCorrected) {
  CModbusPageModel page(Ini("[MODBUS]\nWatchdogTimeoutMax=100\n"));
  std::vector<std::uint16_t> table(59, 0);
  table[3] = 500;
  Load(page, table, true);
  EXPECT_EQ(Text(page, "MODBUS.WatchdogTimeout"), "500");
  const ValidationFailure failure{"MODBUS.WatchdogTimeout", "Watchdog Timeout",
                                  "Please enter a value between 0 and 100."};
  EXPECT_EQ(page.CommitSettings(), failure);
  Set(page, "MODBUS.WatchdogTimeout", "100");
  EXPECT_FALSE(page.CommitSettings());
  EXPECT_EQ(table[3], 100);
}

TEST(ModbusPage, MaximumConnectionsIsShownOnlyAndNeverChecked) {
  std::vector<std::uint16_t> table(59, 0);
  table[57] = 9;  // above its max of 5
  CModbusPageModel page(Ini(""));
  Load(page, table, true);
  EXPECT_FALSE(Parameter(page, "MODBUS.ConnectionCount").Editable());
  EXPECT_FALSE(page.CommitSettings());
  EXPECT_EQ(table[57], 9);
}

TEST(ModbusPage, TheConnectionWatchdogIsCheckedFirst) {
  CModbusPageModel page(Ini("[MODBUS]\nConnectionWatchdogMax=10\nWatchdogTimeoutMax=10\n"));
  std::vector<std::uint16_t> table(59, 0);
  table[3] = 20;
  table[58] = 20;
  Load(page, table, true);
  EXPECT_EQ(page.ValidateSettings()->key, "MODBUS.ConnectionWatchdog");
}

TEST(ModbusPage, ReadThenCommitKeepsEveryRegister) {
  ExpectReadThenCommitKeepsImages<CModbusPageModel>(
      [](std::mt19937& random) { return RandomWords(random, 59 + random() % 30); }, true, false);
  ExpectReadThenCommitKeepsImages<CModbusPageModel>(
      [](std::mt19937& random) { return RandomWords(random, 3 + random() % 60); }, false, false);
}
