#include "pages/TCPIPPageModel.h"

#include "base/OrderNumber.h"
#include "base/AddressRegisters.h"
#include "base/Ipv4Address.h"

namespace lanterna {

namespace {

constexpr std::size_t kSwitches = 0;
constexpr std::size_t kBootPSwitch = 5;

constexpr std::uint16_t kAutoIPBit = 0x0080;
constexpr std::uint16_t kDHCPBit = 0x0100;
constexpr std::uint16_t kBootPBit = 0x0200;
constexpr std::uint16_t kOtherPagesBits = 0xFC7F;

const std::vector<std::string> kSourceItems = {"Get addresses automatically", "Use following addresses"};

}  // namespace

CTCPIPPageModel::CTCPIPPageModel(const CIniFile& ini) : CCouplerSettingsPageModel("TCPIP"), m_ini(ini) {
  SetArticleNo("");
  auto is32 = [this] { return Is32(); };
  auto fixed = [this] { return Fixed(); };

  AddParameter<CSwitchParameter>({"TCPIP.BootP", "BootP-Server", "", "100:5"}, m_bBootP);
  AddParameter<CListParameter>({"TCPIP.AddressSource", "IP-Address Source", "100:0 bits 7-9", ""}, m_nAddrSource,
                               kSourceItems);
  AddParameter<CListParameter>({"TCPIP.Server", "BootP-Server / DHCP-Server", "100:0 bits 7-9", ""}, m_nServer,
                               m_serverItems)
      .EnabledWhen([this] { return !Fixed(); });
  // Older devices show the addresses of their identification, read only.
  const auto always = [] { return true; };
  AddParameter<CAddressParameter>({"TCPIP.IPAddress", "IP-Address", kIpAddressRegisters.Label(), ""}, m_dwIPAddress)
      .AvailableWhen(always).EditableWhen(is32).EnabledWhen(fixed);
  AddParameter<CAddressParameter>({"TCPIP.SubnetMask", "Subnet Mask", kSubnetMaskRegisters.Label(), ""}, m_dwSubnetMask)
      .AvailableWhen(always).EditableWhen(is32).EnabledWhen(fixed);
  AddParameter<CAddressParameter>({"TCPIP.Gateway", "Gateway", kGatewayRegisters.Label(), ""}, m_dwGateway)
      .AvailableWhen(always).EditableWhen(is32).EnabledWhen(fixed);
  AddParameter<CAddressParameter>({"TCPIP.PreferredDNS", "Prefered DNS-Server", kPreferredDnsRegisters.Label(), ""}, m_dwDNS1)
      .EnabledWhen(fixed);
  AddParameter<CAddressParameter>({"TCPIP.AlternativeDNS", "Alternative DNS-Server", kAlternativeDnsRegisters.Label(), ""}, m_dwDNS2)
      .EnabledWhen(fixed);
}

void CTCPIPPageModel::SetArticleNo(std::string articleNo) {
  const std::string section = COrderNumber(articleNo).Text(COrderNumber::Form::FourDigit);
  m_bAutoIPOffered = m_ini.GetInt(section, "AUTOIP", 0) != 0;
  m_serverItems = {"DHCP-Server", "BootP-Server"};
  if (m_bAutoIPOffered) m_serverItems.push_back("Auto-IP");
  CCouplerSettingsPageModel::SetArticleNo(std::move(articleNo));
}

void CTCPIPPageModel::SetAddressStrings(std::string_view ip, std::string_view mask, std::string_view gateway,
                                        std::string_view dns1, std::string_view dns2) {
  m_dwIPAddress = DottedToAddress(ip);
  m_dwSubnetMask = DottedToAddress(mask);
  m_dwGateway = DottedToAddress(gateway);
  if (!dns1.empty()) m_dwDNS1 = DottedToAddress(dns1);
  if (!dns2.empty()) m_dwDNS2 = DottedToAddress(dns2);
}

std::optional<ValidationFailure> CTCPIPPageModel::ValidateSettings() const {
  const bool serverChosen = m_nServer >= 0 && static_cast<std::size_t>(m_nServer) < m_serverItems.size();
  if (serverChosen || m_nAddrSource != kAutomatic) return std::nullopt;
  return ValidationFailure{"TCPIP.Server", "IP-Address Server", "Please select how the device should get an IP address!"};
}

std::size_t CTCPIPPageModel::EthWordsNeeded() const { return Is32() ? kAlternativeDnsRegisters.first + 2 : kBootPSwitch + 1; }

void CTCPIPPageModel::ReadSettings() {
  const auto table = EthTable();
  if (!Is32()) {
    m_bBootP = table[kBootPSwitch];
    return;
  }
  const std::uint16_t switches = table[kSwitches];
  // A later bit wins: BootP over DHCP, Auto-IP over both, but only where the device's INI
  // section offers it. Without a server bit the server choice stays as it was.
  std::int32_t server = -1;
  if (switches & kDHCPBit) server = kDHCP;
  if (switches & kBootPBit) server = kBootP;
  if ((switches & kAutoIPBit) && m_bAutoIPOffered) server = kAutoIP;
  m_nAddrSource = server < 0 ? kFixed : kAutomatic;
  if (server >= 0) m_nServer = server;
  m_dwIPAddress = ReadAddressPair(table, kIpAddressRegisters.first);
  m_dwSubnetMask = ReadAddressPair(table, kSubnetMaskRegisters.first);
  m_dwGateway = ReadAddressPair(table, kGatewayRegisters.first);
  m_dwDNS1 = ReadAddressPair(table, kPreferredDnsRegisters.first);
  m_dwDNS2 = ReadAddressPair(table, kAlternativeDnsRegisters.first);
}

void CTCPIPPageModel::WriteSettings() {
  const auto table = EthTable();
  if (!Is32()) {
    table[kBootPSwitch] = static_cast<std::uint16_t>(m_bBootP);
    return;
  }
  std::uint16_t serverBit = 0;
  if (m_nAddrSource == kAutomatic) {
    if (m_nServer == kDHCP) serverBit = kDHCPBit;
    if (m_nServer == kBootP) serverBit = kBootPBit;
    if (m_nServer == kAutoIP) serverBit = kAutoIPBit;
  }
  table[kSwitches] = static_cast<std::uint16_t>((table[kSwitches] & kOtherPagesBits) | serverBit);
  WriteAddressPair(table, kIpAddressRegisters.first, m_dwIPAddress);
  WriteAddressPair(table, kSubnetMaskRegisters.first, m_dwSubnetMask);
  WriteAddressPair(table, kGatewayRegisters.first, m_dwGateway);
  WriteAddressPair(table, kPreferredDnsRegisters.first, m_dwDNS1);
  WriteAddressPair(table, kAlternativeDnsRegisters.first, m_dwDNS2);
}

}  // namespace lanterna
