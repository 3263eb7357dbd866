#include <gtest/gtest.h>

#include "PageTestSupport.h"
#include "pages/ProtocolPageModel.h"

using namespace lanterna;
using namespace lanterna::test;

TEST(ProtocolPage, ServiceSwitchesComeFromRegister0AndLeaveTheOtherPagesBits) {
  std::vector<std::uint16_t> table(60, 0);
  table[0] = 0x0385;
  CProtocolPageModel page(Ini(""));
  Load(page, table, true);
  ExpectTexts(page, {
      {"PROTOCOL.FTP", "1"},
      {"PROTOCOL.SNMP", "1"},
      {"PROTOCOL.WebServer", "0"},
      {"PROTOCOL.SNTP", "0"}});

  SetTexts(page, {
      {"PROTOCOL.FTP", "0"},
      {"PROTOCOL.PLC", "1"},
      {"PROTOCOL.Authentication", "1"},
      {"PROTOCOL.EtherNetIP", "1"}});
  EXPECT_FALSE(page.CommitSettings());
  EXPECT_EQ(table[0], 0x3384 | 0x0040);  // bits 7, 8, 9 untouched
}

TEST(ProtocolPage, WithTheWebServerOffPortAndAuthenticationAreDisabledButWritten) {
  std::vector<std::uint16_t> table(60, 0);
  table[0] = 0x0002;
  table[59] = 80;
  CProtocolPageModel page(Ini(""));
  Load(page, table, true);
  EXPECT_TRUE(Parameter(page, "PROTOCOL.HttpPort").Enabled());
  SetTexts(page, {
      {"PROTOCOL.HttpPort", "8080"},
      {"PROTOCOL.Authentication", "1"},
      {"PROTOCOL.WebServer", "0"}});
  EXPECT_FALSE(Parameter(page, "PROTOCOL.HttpPort").Enabled());
  EXPECT_FALSE(Parameter(page, "PROTOCOL.Authentication").Enabled());
  EXPECT_FALSE(page.CommitSettings());
  EXPECT_EQ(table[0], 0x1000);
  EXPECT_EQ(table[59], 8080);
}

TEST(ProtocolPage, TheSnmpSwitchIsShownButCannotBeChanged) {
  CProtocolPageModel page(Ini(""));
  std::vector<std::uint16_t> table(60, 0);
  Load(page, table, true);
  EXPECT_TRUE(Parameter(page, "PROTOCOL.SNMP").Available());
  EXPECT_FALSE(Parameter(page, "PROTOCOL.SNMP").Editable());
  EXPECT_FALSE(Parameter(page, "PROTOCOL.TrapManager1").Enabled());
  table[0] = 0x0004;
  ASSERT_TRUE(page.ReloadFromImage());
  EXPECT_TRUE(Parameter(page, "PROTOCOL.TrapManager1").Enabled());
}

TEST(ProtocolPage, TrapManagersUseTheRegisterPairEncoding) {
  std::vector<std::uint16_t> table(60, 0);
  CProtocolPageModel page(Ini(""));
  Load(page, table, true);
  Set(page, "PROTOCOL.TrapManager1", "192.168.1.111");
  Set(page, "PROTOCOL.TrapManager2", "10.0.0.2");
  EXPECT_FALSE(page.CommitSettings());
  EXPECT_EQ((std::vector<std::uint16_t>(table.begin() + 21, table.begin() + 25)),
            (std::vector<std::uint16_t>{0xA8C0, 0x6F01, 0x000A, 0x0200}));
}

TEST(ProtocolPage, OlderDevicesChangeOnlyRegisters3And4) {
  std::vector<std::uint16_t> table = {0xFFFF, 0x1111, 0x2222, 0x0000, 80, 0x5555};
  CProtocolPageModel page(Ini(""));
  Load(page, table, false);
  EXPECT_EQ(Text(page, "PROTOCOL.HttpPort"), "80");
  EXPECT_EQ(Text(page, "PROTOCOL.FTP"), "");  // not on older devices, although bit 0 is set
  EXPECT_FALSE(Parameter(page, "PROTOCOL.TrapManager1").Available());
  Set(page, "PROTOCOL.WebServer", "1");
  Set(page, "PROTOCOL.HttpPort", "8080");
  EXPECT_FALSE(page.CommitSettings());
  EXPECT_EQ(table, (std::vector<std::uint16_t>{0xFFFF, 0x1111, 0x2222, 0x0001, 8080, 0x5555}));
}

TEST(ProtocolPage, WithoutAnIniThePortRunsFrom0To65535AndStartsAt80) {
  CProtocolPageModel page(Ini(""));
  const auto& port = dynamic_cast<const CNumberParameter&>(Parameter(page, "PROTOCOL.HttpPort"));
  EXPECT_EQ(port.Record().min, 0);
  EXPECT_EQ(port.Record().max, 65535);
  EXPECT_EQ(port.Text(), "80");
}

TEST(ProtocolPage, ReadThenCommitKeepsEveryRegister) {
  ExpectReadThenCommitKeepsImages<CProtocolPageModel>(
      [](std::mt19937& random) { return RandomWords(random, 60 + random() % 30); }, true, false);
  ExpectReadThenCommitKeepsImages<CProtocolPageModel>(
      [](std::mt19937& random) { return RandomWords(random, 5 + random() % 60); }, false, false);
}
