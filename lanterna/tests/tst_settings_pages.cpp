#include <gtest/gtest.h>

#include <set>

#include "PageTestSupport.h"
#include "app/DialogData.h"
#include "pages/SettingsPages.h"

using namespace lanterna;
using namespace lanterna::test;

namespace {

constexpr const char* kCouplerIni = "[0750-0352]\nFBC=32\nPFC=0\nPAGE00=ALL\n";
constexpr const char* kControllerIni = "[0750-8202]\nFBC=0\nPFC=32\nPAGE00=ALL\n";
constexpr const char* kOlderIni = "[0750-0342]\nFBC=16\nPFC=0\nPAGE00=ALL\n";

// A device's tables that every page reads exactly (see the pages' own property tests).
tIdentification Device(const char* orderNumber, std::size_t table100Size = 100) {
  tIdentification id;
  id.orderNumber = orderNumber;
  id.description = "ETHERNET";
  id.softwareVersion = "01.00.00(00)";
  id.networkIdKind = "MAC-ID";
  id.ipAddress = "192.168.1.17";
  id.subnetMask = "255.255.255.0";
  id.gateway = "192.168.1.1";
  id.clockFlag = 1;
  id.table0.assign(40, 0);
  id.table100.assign(table100Size, 0);
  if (table100Size > 71) {
    id.table100[0] = 0x0200;  // BootP
    id.table100[59] = 80;
    id.table100[69] = 0x0007;
    id.table100[71] = 1;
  }
  return id;
}

struct Fixture {
  explicit Fixture(const char* iniText, tIdentification id) : ini(Ini(iniText)), data(ini, false), pages(ini) {
    std::vector<std::string> messages;
    EXPECT_TRUE(data.ApplyIdentification(id, messages));
    notLoaded = pages.Load(data.Identification(), data.DevicePages(), data.Table0(), data.Table100());
  }
  CIniFile ini;
  CDialogData data;
  CSettingsPages pages;
  std::vector<std::string> notLoaded;
};

std::vector<std::string> UsedKeys(const CSettingsPages& pages) {
  std::vector<std::string> keys;
  for (const auto* page : pages.Pages())
    if (page->IsPageUsed()) keys.push_back(page->GetSection());
  return keys;
}

}  // namespace

TEST(SettingsPages, EveryKeyIsUniqueAndNamedAfterItsPage) {
  const CIniFile ini = Ini("");
  CSettingsPages pages(ini);
  std::set<std::string> keys;
  for (const CCouplerSettingsPageModel* page : pages.Pages())
    for (const auto& parameter : page->Parameters()) {
      EXPECT_TRUE(parameter->Key().starts_with(page->GetSection() + ".")) << parameter->Key();
      EXPECT_TRUE(keys.insert(parameter->Key()).second) << parameter->Key();
    }
  EXPECT_EQ(keys.size(), pages.Parameters().size());
  for (const char* key : {"TCPIP.IPAddress", "PROTOCOL.HttpPort", "NETWORK.HostName", "TCPIP.SubnetMask",
                          "TCPIP.Gateway", "TCPIP.AddressSource", "NETWORK.Domain", "PROTOCOL.FTP",
                          "SNTP.ClientInterval", "MODBUS.WatchdogTimeout"})
    EXPECT_TRUE(pages.FindParameter(key)) << key;
  EXPECT_FALSE(pages.FindParameter("TCPIP"));
  EXPECT_FALSE(pages.FindParameter("NOPAGE.IPAddress"));
}

TEST(SettingsPages, LoadingUsesThePagesTheDeviceGets) {
  Fixture coupler(kCouplerIni, Device("750-352"));
  EXPECT_EQ(UsedKeys(coupler.pages), (std::vector<std::string>{"COMMON", "TCPIP", "NETWORK", "CLOCK", "MODBUS",
                                                               "PROTOCOL", "TRAFFIC", "SNTP", "ETHERNETIP"}));
  EXPECT_TRUE(coupler.notLoaded.empty());
  EXPECT_EQ(coupler.pages.Common().Rows()[0].value, "750-352");
  EXPECT_EQ(Text(coupler.pages.TCPIP(), "TCPIP.Server"), "BootP-Server");

  Fixture older(kOlderIni, Device("750-342", 6));
  EXPECT_EQ(UsedKeys(older.pages), (std::vector<std::string>{"COMMON", "TCPIP", "MODBUS", "PROTOCOL"}));
  EXPECT_EQ(Text(older.pages.TCPIP(), "TCPIP.IPAddress"), "192.168.1.17");  // from the identification

  Fixture shortTable(kCouplerIni, Device("750-352", 40));
  EXPECT_EQ(shortTable.notLoaded, (std::vector<std::string>{"NETWORK", "MODBUS", "ETHERNETIP", "PROTOCOL", "TRAFFIC"}));
}

TEST(SettingsPages, SetRefusesWhatAUserCouldNotEnter) {
  Fixture coupler(kCouplerIni, Device("750-352"));
  CSettingsPages& pages = coupler.pages;
  auto message = [&pages](const char* key, const char* text) {
    const auto failure = pages.Set(key, text);
    return failure ? failure->message : std::string("accepted");
  };
  EXPECT_EQ(message("TCPIP.Nothing", "1"), "There is no parameter of this name.");
  EXPECT_EQ(message("PFC.ResetOutputs", "1"), "The connected device does not get the page of this parameter.");
  EXPECT_EQ(message("TCPIP.BootP", "1"), "The connected device does not have this parameter.");
  EXPECT_EQ(message("PROTOCOL.SNMP", "1"), "This parameter cannot be changed on the connected device.");
  EXPECT_EQ(message("ETHERNETIP.BkFbInpVarCnt", "1"), "This parameter cannot be changed on the connected device.");
  EXPECT_EQ(message("PROTOCOL.HttpPort", "65536"), "Please enter a value between 0 and 65535.");
  EXPECT_EQ(message("TCPIP.IPAddress", "10.1.2"),
            "Please enter an IP address as four numbers from 0 to 255, like 192.168.1.1.");
  EXPECT_EQ(message("TRAFFIC.SpeedDuplex", "1000 MBit"),
            "Please choose one of: Auto Negotiate, 10 MBit / Half Duplex, 10 MBit / Full Duplex, 100 MBit / Half "
            "Duplex, 100 MBit / Full Duplex.");
  EXPECT_EQ(message("PROTOCOL.HttpPort", "8080"), "accepted");
}

TEST(SettingsPages, SettingAndCommittingChangesExactlyTheEditedRegisters) {
  Fixture coupler(kCouplerIni, Device("750-352"));
  const std::vector<std::uint16_t> before = coupler.data.Table100();
  ASSERT_FALSE(coupler.pages.Set("TCPIP.AddressSource", "Use following addresses"));
  ASSERT_FALSE(coupler.pages.Set("TCPIP.IPAddress", "10.1.2.3"));
  ASSERT_FALSE(coupler.pages.Set("PROTOCOL.HttpPort", "8080"));
  ASSERT_FALSE(coupler.pages.Set("NETWORK.HostName", "ab"));
  EXPECT_FALSE(coupler.pages.Commit());

  std::vector<std::uint16_t> expected = before;
  expected[0] = 0x0000;  // BootP off: fixed addresses
  expected[9] = 0x010A;
  expected[10] = 0x0302;
  expected[59] = 8080;
  expected[25] = 0x6261;
  EXPECT_EQ(coupler.data.Table100(), expected);
}

TEST(SettingsPages, ChecksAcrossAPageWaitForTheCommit) {
  tIdentification id = Device("750-352");
  id.table100[0] = 0x0000;  // fixed addresses, no server chosen yet
  Fixture coupler(kCouplerIni, id);
  ASSERT_FALSE(coupler.pages.Set("TCPIP.AddressSource", "Get addresses automatically"));
  EXPECT_EQ(coupler.pages.Commit()->message, "Please select how the device should get an IP address!");
  ASSERT_FALSE(coupler.pages.Set("TCPIP.Server", "DHCP-Server"));
  EXPECT_FALSE(coupler.pages.Commit());
  EXPECT_EQ(coupler.data.Table100()[0], 0x0100);
}

TEST(SettingsPages, TheSntpSwitchSharedByTwoPagesKeepsTheLastEdit) {
  Fixture coupler(kCouplerIni, Device("750-352"));
  ASSERT_FALSE(coupler.pages.Set("SNTP.Client", "1"));
  EXPECT_EQ(Text(coupler.pages.Protocol(), "PROTOCOL.SNTP"), "1");
  EXPECT_FALSE(coupler.pages.Commit());  // the Protocol page commits first and must not undo it
  EXPECT_EQ(coupler.data.Table100()[0], 0x0208);

  ASSERT_FALSE(coupler.pages.Set("PROTOCOL.SNTP", "0"));
  EXPECT_FALSE(coupler.pages.Commit());
  EXPECT_EQ(coupler.data.Table100()[0], 0x0200);
}

TEST(SettingsPages, CommitStopsAtTheFirstPageThatRefusesInWriteOrder) {
  tIdentification id = Device("750-352");
  id.table100[58] = 700;  // MODBUS connection watchdog
  id.table100[59] = 9000;  // HTTP port
  id.table100[70] = 900;  // activation time
  const std::string ini = std::string(kCouplerIni) +
                          "[MODBUS]\nConnectionWatchdogMax=600\n[PROTOCOL]\nHttpPortMax=8080\n"
                          "[SNTP]\nActivationTimeMax=600\n";
  Fixture coupler(ini.c_str(), id);
  EXPECT_EQ(coupler.pages.Commit()->key, "PROTOCOL.HttpPort");
  ASSERT_FALSE(coupler.pages.Set("PROTOCOL.HttpPort", "80"));
  EXPECT_EQ(coupler.pages.Commit()->key, "MODBUS.ConnectionWatchdog");
  ASSERT_FALSE(coupler.pages.Set("MODBUS.ConnectionWatchdog", "600"));
  EXPECT_EQ(coupler.pages.Commit()->key, "TRAFFIC.ActivationTime");
  ASSERT_FALSE(coupler.pages.Set("TRAFFIC.ActivationTime", "30"));
  EXPECT_FALSE(coupler.pages.Commit());
}

TEST(SettingsPages, ThePFCPageIsCommittedOnlyForControllers) {
  tIdentification id = Device("750-8202");
  id.table0[26] = 0x0001;
  Fixture controller(kControllerIni, id);
  ASSERT_FALSE(controller.pages.Set("PFC.ResetOutputs", "0"));
  ASSERT_FALSE(controller.pages.Set("ETHERNETIP.BkFbInpVarCnt", "16"));
  EXPECT_FALSE(controller.pages.Commit());
  EXPECT_EQ(controller.data.Table0()[26], 0x0000);
  EXPECT_EQ(controller.data.Table100()[60], 16);
}

TEST(SettingsPages, OlderDevicesCommitTheirThreePages) {
  std::vector<std::uint16_t> table = {0, 0, 1000, 1, 80, 1};
  tIdentification id = Device("750-342", 6);
  id.table100 = table;
  Fixture older(kOlderIni, id);
  ASSERT_FALSE(older.pages.Set("TCPIP.BootP", "0"));
  ASSERT_FALSE(older.pages.Set("PROTOCOL.HttpPort", "81"));
  ASSERT_FALSE(older.pages.Set("MODBUS.ConnectionWatchdog", "9000"));
  EXPECT_FALSE(older.pages.Commit());
  EXPECT_EQ(older.data.Table100(), (std::vector<std::uint16_t>{0, 0, 9000, 1, 81, 0}));
}

TEST(SettingsPages, ReadThenCommitKeepsBothImages) {
  std::mt19937 random(4);
  for (int round = 0; round < 100; ++round) {
    tIdentification id = Device(round % 2 ? "750-8202" : "750-352");
    id.table0 = RandomWords(random, 27 + random() % 20);
    id.table100 = RandomWords(random, 72 + random() % 20);
    auto& t = id.table100;
    t[0] = static_cast<std::uint16_t>((t[0] & 0xFC7F) | (random() % 2 ? 0x0100 : 0x0000));
    for (std::size_t i = 25; i < 57; ++i) t[i] = 0;  // empty host name and domain
    t[62] %= 513;
    t[64] %= 513;
    if (t[69] & 1) t[69] |= 0x0006;
    Fixture device(round % 2 ? kControllerIni : kCouplerIni, id);
    device.pages.Commit();
    ASSERT_EQ(device.data.Table100(), id.table100) << round;
    ASSERT_EQ(device.data.Table0(), id.table0) << round;
  }
}
