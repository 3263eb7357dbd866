#include <gtest/gtest.h>

#include "app/Actions.h"
#include "app/Admissibility.h"
#include "base/TextFormat.h"

using namespace lanterna;

namespace {

CIniFile Ini(const char* text) {
  CIniFile ini;
  ini.LoadFromText(text);
  return ini;
}

tIdentification Device(const char* orderNumber, const char* kind = "MAC-ID", std::uint32_t clock = 1) {
  tIdentification id;
  id.orderNumber = orderNumber;
  id.softwareVersion = "01.07.05(07)";
  id.networkIdKind = kind;
  id.clockFlag = clock;
  return id;
}

using Keys = std::vector<std::string>;

}  // namespace

TEST(Admissibility, TableOfFbcAndPfcValues) {
  struct Row {
    const char* ini;
    bool admissible;
    std::uint32_t is32, isPFC;
  };
  const Row rows[] = {
      {"[0750-0352]\nFBC=16\nPFC=0\n", true, 0, 0}, {"[0750-0352]\nFBC=0\nPFC=16\n", true, 0, 1},
      {"[0750-0352]\nFBC=32\nPFC=0\n", true, 1, 0}, {"[0750-0352]\nFBC=0\nPFC=32\n", true, 1, 1},
      {"[0750-0352]\nFBC=32\nPFC=32\n", false, 0, 0}, {"[0750-0352]\nFBC=16\nPFC=16\n", false, 0, 0},
      {"[0750-0352]\nFBC=0\nPFC=0\n", false, 0, 0},
  };
  for (const Row& row : rows) {
    const auto verdict = CheckOrderNumber(Ini(row.ini), Device("750-352"));
    EXPECT_EQ(verdict.passed, row.admissible) << row.ini;
    EXPECT_EQ(verdict.is32, row.is32) << row.ini;
    EXPECT_EQ(verdict.isPFC, row.isPFC) << row.ini;
    EXPECT_EQ(verdict.message.has_value(), !row.admissible);
  }
}

TEST(Admissibility, WithoutASectionTheNetworkIdentityKindDecides) {
  const CIniFile none = Ini("");
  const auto coupler = CheckOrderNumber(none, Device("750-352", "mac-id", 1));
  EXPECT_TRUE(coupler.passed);
  EXPECT_EQ(coupler.is32, 1u);  // the clock flag
  EXPECT_EQ(coupler.isPFC, 0u);
  const auto controller = CheckOrderNumber(none, Device("750-8202", "MAC-ID", 0));
  EXPECT_TRUE(controller.passed);
  EXPECT_EQ(controller.is32, 0u);
  EXPECT_EQ(controller.isPFC, 1u);
  const auto other = CheckOrderNumber(none, Device("750-352", "IP-ID"));
  EXPECT_FALSE(other.passed);
  EXPECT_EQ(*other.message,
            "Inadmissible FBC!\n\nThe connected device does not seem to be a ORLA Ethernet device.\n"
            "It is not possible to parameterize it with ORLA Lanterna!");
  // Only one of the two keys missing is enough.
  EXPECT_TRUE(CheckOrderNumber(Ini("[0750-0352]\nFBC=7\n"), Device("750-352")).passed);
}

TEST(Admissibility, LogLinesAreIndented) {
  const auto verdict = CheckOrderNumber(Ini("[0750-0352]\nFBC=32\nPFC=32\n"), Device("750-352"));
  EXPECT_EQ(verdict.logLines, (Keys{"    Check article number '750-352' ...",
                                    "     Article number '750-352' is not admissible!"}));
  const auto good = CheckOrderNumber(Ini("[0750-0352]\nFBC=32\nPFC=0\n"), Device("750-352"));
  EXPECT_EQ(good.logLines[1], "    Article number '750-352' is admissible");
}

TEST(Firmware, VersionComparedAsTextWithoutCase) {
  EXPECT_TRUE(CheckFirmware(Ini("[0750-0352]\nVersion=01.07.05(07)\n"), Device("750-352")).passed);
  EXPECT_TRUE(CheckFirmware(Ini("[0750-0352]\nVersion=01.07.04(99)\n"), Device("750-352")).passed);
  EXPECT_TRUE(CheckFirmware(Ini(""), Device("750-352")).passed);  // default 00.00.00(00)
  const auto newer = CheckFirmware(Ini("[0750-0352]\nVersion=01.08.00(00)\n"), Device("750-352"));
  EXPECT_FALSE(newer.passed);
  EXPECT_EQ(*newer.message,
            "Inadmissible firmware!\n\nThe fieldbus coupler has version '01.07.05(07)'.\r\n\r\nFor the adjustment "
            "of the ethernet parameters \r\nversion '01.08.00(00)' or  higher is necessary.");
  EXPECT_EQ(newer.logLines, (Keys{"    Check firmware version '01.07.05(07)' ...",
                                  "    Firmware version '01.07.05(07)' is not admissible!"}));
  EXPECT_FALSE(CheckFirmware(Ini("[0750-0352]\nVersion=\n"), Device("750-352")).passed);
}

TEST(DevicePages, AllSingleKeysAndDefaults) {
  EXPECT_EQ(DevicePageKeys(Ini("[0750-0352]\nPAGE00=ALL\nPAGE01=PFC\n"), Device("750-352")),
            (Keys{"COMMON", "TCPIP", "NETWORK", "CLOCK", "MODBUS", "PROTOCOL", "TRAFFIC", "SNTP", "ETHERNETIP", "PFC"}));
  EXPECT_EQ(DevicePageKeys(Ini("[0750-0352]\nPAGE00=ALL\n"), Device("750-352", "MAC-ID", 0)),
            (Keys{"COMMON", "TCPIP", "NETWORK", "MODBUS", "PROTOCOL", "TRAFFIC", "SNTP", "ETHERNETIP", "PFC"}));
  EXPECT_EQ(DevicePageKeys(Ini("[0750-0352]\nPAGE00=SNTP\nPAGE01=bogus\nPAGE02=tcpip\nPAGE03=SNTP\nPAGE05=PFC\n"),
                           Device("750-352")),
            (Keys{"COMMON", "SNTP", "SNTP"}));
  EXPECT_EQ(DevicePageKeys(Ini(""), Device("750-352")), (Keys{"COMMON", "TCPIP", "NETWORK", "CLOCK"}));
  EXPECT_EQ(DevicePageKeys(Ini("[0750-0352]\nPAGE00=CLOCK\n"), Device("750-352", "MAC-ID", 0)),
            (Keys{"COMMON", "TCPIP", "NETWORK"}));
}

TEST(DevicePages, GenerationDecidesWhatIsShown) {
  const Keys keys = {"COMMON", "SNTP", "TCPIP", "PFC", "MODBUS", "SNTP", "NETWORK"};
  EXPECT_EQ(ShownPageKeys(keys, 1, 1), (Keys{"COMMON", "SNTP", "TCPIP", "PFC", "MODBUS", "NETWORK"}));
  EXPECT_EQ(ShownPageKeys(keys, 1, 0), (Keys{"COMMON", "SNTP", "TCPIP", "MODBUS", "NETWORK"}));
  EXPECT_EQ(ShownPageKeys(keys, 0, 1), (Keys{"COMMON", "TCPIP", "MODBUS"}));
}

TEST(StateTexts, NamesAndForms) {
  EXPECT_EQ(StateLine(kIdentify, kInProgress, false), "Identifying connected device is in progress...");
  EXPECT_EQ(StateLine(kConnect, kDone, true), "    Connecting with the device successfully done");
  EXPECT_EQ(StateLine(kEnableWriting, kFailed, true), "    ERROR: Enabeling write access failed!");
  EXPECT_EQ(StateLine(kFormatFlash, 7, false), "Unknown state for: Formating file system");
  EXPECT_EQ(StateLine(12, kDone, false), "Unknown Action 12 successfully done");
  EXPECT_EQ(StateLine(0, kDone, false), "Unknown Action 0 successfully done");
  EXPECT_EQ(DoneLine(DoneKind::Read, false), "Identification of connected device failed!");
}

TEST(TextFormat, PlaceholdersAreFilledSafely) {
  EXPECT_EQ(FormatText("%s-%s", {"a", "b"}), "a-b");
  EXPECT_EQ(FormatText("%s and %s", {"one"}), "one and ");
  EXPECT_EQ(FormatText("100%% %d %s", {"x", "y"}), "100% %d x");
  EXPECT_EQ(FormatText("trailing %", {}), "trailing %");
}
