#include <gtest/gtest.h>

#include "PageTestSupport.h"
#include "pages/TCPIPPageModel.h"

using namespace lanterna;
using namespace lanterna::test;

namespace {

constexpr const char* kAutoIPIni = "[0750-0352]\nAUTOIP=1\n";

std::vector<std::uint16_t> Table32(std::uint16_t register0) {
  std::vector<std::uint16_t> table(19, 0);
  table[0] = register0;
  return table;
}

// The INI file lives as long as the page that keeps a reference to it.
struct IniHolder {
  CIniFile ini;
};
struct TCPIPPage : IniHolder, CTCPIPPageModel {
  explicit TCPIPPage(const char* text = "", const char* articleNo = "750-352")
      : IniHolder{Ini(text)}, CTCPIPPageModel(ini) {
    SetArticleNo(articleNo);
  }
};

}  // namespace

TEST(TCPIPPage, BothServerBitsSelectBootPAndAreWrittenBackAsBootP) {
  // Bits 8 and 9 set, bit 7 clear; the second keeps bits of other pages, which stay.
  for (const auto& [read, written] : {std::pair<std::uint16_t, std::uint16_t>{0x0300, 0x0200}, {0x3B45, 0x3A45}}) {
    auto table = Table32(read);
    TCPIPPage page;
    Load(page, table, true);
    EXPECT_EQ(Text(page, "TCPIP.AddressSource"), "Get addresses automatically");
    EXPECT_EQ(Text(page, "TCPIP.Server"), "BootP-Server");
    EXPECT_FALSE(page.CommitSettings());
    EXPECT_EQ(table[0], written);
  }
}

TEST(TCPIPPage, NoServerBitMeansFixedAddressesAndKeepsTheOtherBits) {
  auto table = Table32(0xFC7F);
  TCPIPPage page;
  Load(page, table, true);
  EXPECT_EQ(Text(page, "TCPIP.AddressSource"), "Use following addresses");
  EXPECT_EQ(Text(page, "TCPIP.Server"), "");
  EXPECT_FALSE(page.CommitSettings());
  EXPECT_EQ(table[0], 0xFC7F);

  Set(page, "TCPIP.AddressSource", "Get addresses automatically");
  Set(page, "TCPIP.Server", "dhcp-server");
  EXPECT_FALSE(page.CommitSettings());
  EXPECT_EQ(table[0], 0xFD7F);
}

TEST(TCPIPPage, AddressesUseTheRegisterPairEncoding) {
  auto table = Table32(0);
  table[9] = 0xA8C0;
  table[10] = 0x6F01;
  TCPIPPage page;
  Load(page, table, true);
  EXPECT_EQ(Text(page, "TCPIP.IPAddress"), "192.168.1.111");

  SetTexts(page, {
      {"TCPIP.IPAddress", "10.1.2.3"},
      {"TCPIP.SubnetMask", "255.255.255.0"},
      {"TCPIP.Gateway", "10.1.2.254"},
      {"TCPIP.PreferredDNS", "8.8.4.4"},
      {"TCPIP.AlternativeDNS", "1.0.0.1"}});
  EXPECT_FALSE(page.CommitSettings());
  const std::vector<std::uint16_t> expected = {0,      0,      0,      0,      0,      0,      0,
                                               0,      0,      0x010A, 0x0302, 0xFFFF, 0x00FF, 0x010A,
                                               0xFE02, 0x0808, 0x0404, 0x0001, 0x0100};
  EXPECT_EQ(table, expected);
  EXPECT_TRUE(Parameter(page, "TCPIP.IPAddress").SetText("10.1.2"));
}

TEST(TCPIPPage, AutoIPOnlyWhereTheDevicesSectionOffersIt) {
  TCPIPPage without;
  EXPECT_EQ(dynamic_cast<CListParameter&>(Parameter(without, "TCPIP.Server")).Items().size(), 2u);
  auto table = Table32(0x0180);  // Auto-IP and DHCP
  Load(without, table, true);
  EXPECT_EQ(Text(without, "TCPIP.Server"), "DHCP-Server");  // bit 7 ignored
  EXPECT_TRUE(Parameter(without, "TCPIP.Server").SetText("Auto-IP"));
  EXPECT_FALSE(without.CommitSettings());
  EXPECT_EQ(table[0], 0x0100);  // and cleared by the write

  TCPIPPage with(kAutoIPIni, "0750-0352/0000-0000");
  EXPECT_TRUE(with.AutoIPOffered());
  EXPECT_EQ(dynamic_cast<CListParameter&>(Parameter(with, "TCPIP.Server")).Items().size(), 3u);
  table[0] = 0x0380;
  Load(with, table, true);
  EXPECT_EQ(Text(with, "TCPIP.Server"), "Auto-IP");  // over DHCP and BootP
  EXPECT_FALSE(with.CommitSettings());
  EXPECT_EQ(table[0], 0x0080);
}

TEST(TCPIPPage, AutomaticAddressesWithoutAServerAreRefused) {
  auto table = Table32(0);
  TCPIPPage page;
  Load(page, table, true);
  Set(page, "TCPIP.AddressSource", "Get addresses automatically");
  const ValidationFailure failure{"TCPIP.Server", "IP-Address Server",
                                  "Please select how the device should get an IP address!"};
  EXPECT_EQ(page.CommitSettings(), failure);
  Set(page, "TCPIP.Server", "BootP-Server");
  EXPECT_FALSE(page.CommitSettings());
  EXPECT_EQ(table[0], 0x0200);
}

TEST(TCPIPPage, FixedAddressesEnableTheAddressFieldsAndDisableTheServer) {
  auto table = Table32(0);
  TCPIPPage page;
  Load(page, table, true);
  EXPECT_TRUE(Parameter(page, "TCPIP.IPAddress").Enabled());
  EXPECT_TRUE(Parameter(page, "TCPIP.AlternativeDNS").Enabled());
  EXPECT_FALSE(Parameter(page, "TCPIP.Server").Enabled());
  Set(page, "TCPIP.AddressSource", "Get addresses automatically");
  EXPECT_FALSE(Parameter(page, "TCPIP.IPAddress").Enabled());
  EXPECT_TRUE(Parameter(page, "TCPIP.Server").Enabled());
  EXPECT_FALSE(Parameter(page, "TCPIP.BootP").Available());
}

TEST(TCPIPPage, OlderDevicesWriteOnlyTheBootPRegisterAndShowTheIdentifiedAddresses) {
  std::vector<std::uint16_t> table = {0x1111, 0x2222, 0x3333, 0x4444, 0x5555, 0x0001, 0x7777};
  TCPIPPage page;
  page.SetAddressStrings("192.168.1.17", "255.255.0.0", "192.168.1.1", "", "");
  Load(page, table, false);
  ExpectTexts(page, {
      {"TCPIP.BootP", "1"},
      {"TCPIP.IPAddress", "192.168.1.17"},
      {"TCPIP.Gateway", "192.168.1.1"}});
  EXPECT_FALSE(Parameter(page, "TCPIP.IPAddress").Editable());
  EXPECT_FALSE(Parameter(page, "TCPIP.PreferredDNS").Available());
  EXPECT_FALSE(Parameter(page, "TCPIP.Server").Available());

  Set(page, "TCPIP.BootP", "0");
  EXPECT_FALSE(page.CommitSettings());
  EXPECT_EQ(table, (std::vector<std::uint16_t>{0x1111, 0x2222, 0x3333, 0x4444, 0x5555, 0x0000, 0x7777}));
}

TEST(TCPIPPage, AnEmptyDnsTextLeavesThatAddress) {
  auto table = Table32(0);
  table[15] = 0x0808;
  table[16] = 0x0808;
  TCPIPPage page;
  Load(page, table, true);
  page.SetAddressStrings("1.2.3.4", "255.0.0.0", "", "", "9.9.9.9");
  ExpectTexts(page, {
      {"TCPIP.IPAddress", "1.2.3.4"},
      {"TCPIP.Gateway", "0.0.0.0"},
      {"TCPIP.PreferredDNS", "8.8.8.8"},
      {"TCPIP.AlternativeDNS", "9.9.9.9"}});
}

// Register 0 with at most one of bits 7 to 9, bit 7 only where Auto-IP is offered: the cases
// that a write changes on purpose are tested above.
TEST(TCPIPPage, ReadThenCommitKeepsEveryRegister) {
  for (const bool autoIP : {false, true}) {
    auto image = [autoIP](std::mt19937& random) {
      auto table = RandomWords(random, 19 + random() % 60);
      const std::uint16_t servers[] = {0, 0x0100, 0x0200, 0x0080};
      table[0] = static_cast<std::uint16_t>((table[0] & 0xFC7F) | servers[random() % (autoIP ? 4 : 3)]);
      return table;
    };
    ExpectReadThenCommitKeepsImages<CTCPIPPageModel>(image, true, false, autoIP ? "[0000]\nAUTOIP=1\n" : "");
  }
  ExpectReadThenCommitKeepsImages<CTCPIPPageModel>(
      [](std::mt19937& random) { return RandomWords(random, 6 + random() % 60); }, false, false);
}
