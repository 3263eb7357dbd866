#include "pages/ProtocolPageModel.h"

#include <algorithm>

#include "base/Ipv4Address.h"
#include "pages/NumberText.h"
#include "pages/RegisterBits.h"

namespace lanterna {

namespace {

constexpr std::size_t kSwitches = 0;
constexpr std::size_t kOlderWebServer = 3;
constexpr std::size_t kOlderHttpPort = 4;
constexpr std::size_t kTrapManager1 = 21;
constexpr std::size_t kTrapManager2 = 23;
constexpr std::size_t kHttpPort = 59;
constexpr std::uint16_t kOtherPagesBits = 0xCF80;

constexpr int kWebServerBit = 1;
constexpr int kSnmpBit = 2;
constexpr int kAuthenticationBit = 12;

}  // namespace

CProtocolPageModel::CProtocolPageModel(const CIniFile& ini)
    : CCouplerSettingsPageModel("PROTOCOL"),
      m_services{{{"PROTOCOL.FTP", "FTP", 0, 0},
                  {"PROTOCOL.WebServer", "Web Server", kWebServerBit, 0},
                  {"PROTOCOL.SNMP", "SNMP", kSnmpBit, 0},
                  {"PROTOCOL.SNTP", "SNTP", 3, 0},
                  {"PROTOCOL.ModbusTCP", "MODBUS TCP", 4, 0},
                  {"PROTOCOL.ModbusUDP", "MODBUS UDP", 5, 0},
                  {"PROTOCOL.EtherNetIP", "EtherNet/IP", 6, 0},
                  {"PROTOCOL.Authentication", "Authentification", kAuthenticationBit, 0},
                  {"PROTOCOL.PLC", "PLC", 13, 0}}} {
  m_httpPort = LoadParameterRecord(ini, GetSection(), "HttpPort", {0, 65535, 80});
  auto webServerOn = [this] { return ServiceAt(kWebServerBit).value != 0; };
  auto snmpOn = [this] { return ServiceAt(kSnmpBit).value != 0; };

  for (Service& service : m_services) {
    const std::string bit = "100:0 bit " + std::to_string(service.bit);
    const std::string older = service.bit == kWebServerBit ? "100:3" : "";
    auto& parameter = AddParameter<CSwitchParameter>({service.key, service.title, bit, older}, service.value);
    // The SNMP switch is shown but cannot be changed.
    if (service.bit == kSnmpBit) parameter.EditableWhen([] { return false; });
    if (service.bit == kAuthenticationBit) parameter.EnabledWhen(webServerOn);
  }
  m_pHttpPort = &AddParameter<CNumberParameter>({"PROTOCOL.HttpPort", "HTTP-Port", "100:59", "100:4"}, m_httpPort,
                                                kTypeDecimalWord);
  m_pHttpPort->EnabledWhen(webServerOn);
  AddParameter<CAddressParameter>({"PROTOCOL.TrapManager1", "SNMP Trap-Manager 1", "100:21-22", ""}, m_dwTrapManager1)
      .EnabledWhen(snmpOn);
  AddParameter<CAddressParameter>({"PROTOCOL.TrapManager2", "SNMP Trap-Manager 2", "100:23-24", ""}, m_dwTrapManager2)
      .EnabledWhen(snmpOn);
}

CProtocolPageModel::Service& CProtocolPageModel::ServiceAt(int bit) {
  return *std::find_if(m_services.begin(), m_services.end(), [bit](const Service& s) { return s.bit == bit; });
}

std::optional<ValidationFailure> CProtocolPageModel::ValidateSettings() const { return FirstFailure({m_pHttpPort}); }

std::size_t CProtocolPageModel::EthWordsNeeded() const { return Is32() ? kHttpPort + 1 : kOlderHttpPort + 1; }

void CProtocolPageModel::ReadSettings() {
  const auto table = EthTable();
  if (!Is32()) {
    for (Service& service : m_services) service.value = 0;
    ServiceAt(kWebServerBit).value = table[kOlderWebServer];
    m_pHttpPort->ReadInRange(table[kOlderHttpPort]);
    m_dwTrapManager1 = m_dwTrapManager2 = 0;
    return;
  }
  for (Service& service : m_services) service.value = TestBit(table[kSwitches], service.bit);
  m_pHttpPort->ReadInRange(table[kHttpPort]);
  m_dwTrapManager1 = ReadAddressPair(table, kTrapManager1);
  m_dwTrapManager2 = ReadAddressPair(table, kTrapManager2);
}

void CProtocolPageModel::WriteSettings() {
  const auto table = EthTable();
  if (!Is32()) {
    table[kOlderWebServer] = LowWord(ServiceAt(kWebServerBit).value);
    table[kOlderHttpPort] = LowWord(m_httpPort.value);
    return;
  }
  std::uint16_t switches = table[kSwitches] & kOtherPagesBits;
  for (const Service& service : m_services) switches = WithBit(switches, service.bit, service.value != 0);
  table[kSwitches] = switches;
  table[kHttpPort] = LowWord(m_httpPort.value);
  WriteAddressPair(table, kTrapManager1, m_dwTrapManager1);
  WriteAddressPair(table, kTrapManager2, m_dwTrapManager2);
}

}  // namespace lanterna
