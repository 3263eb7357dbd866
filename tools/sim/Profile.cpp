#include "Profile.h"

#include <algorithm>
#include <array>

#include "ProtocolTable.h"
#include "ServiceText.h"
#include "TableNumbers.h"

namespace fennec::sim {

namespace {

constexpr std::size_t kCouplerTableSize = 32;
constexpr std::size_t kEthernetTableSize32 = 80;
// Ends before the IP address: an older device keeps none in table 100.
constexpr std::size_t kEthernetTableSize16 = 8;
constexpr std::size_t kWideTableSize = 320;
constexpr std::uint16_t kWideTableFactory = 0x5A00;

// a.b.c.d in two registers: a + 256 b, then c + 256 d.
void PutAddress(TableImage& table, std::size_t reg, std::array<std::uint8_t, 4> address) {
  table[reg] = static_cast<std::uint16_t>(address[0] | (address[1] << 8));
  table[reg + 1] = static_cast<std::uint16_t>(address[2] | (address[3] << 8));
}

TableImage EthernetTable32(std::array<std::uint8_t, 4> ip) {
  TableImage table(kEthernetTableSize32, 0);
  table[0] = 0x0233;  // FTP, web server, MODBUS TCP and UDP on; address from BootP
  table[3] = 100;     // MODBUS watchdog time-out
  table[4] = 0xFFFF;  // MODBUS function-code masks
  table[5] = 0xFFFF;
  table[6] = 3600;  // SNTP interval and time-out
  table[7] = 2;
  PutAddress(table, kIpAddressRegister, ip);
  PutAddress(table, kIpAddressRegister + 2, {255, 255, 255, 0});
  PutAddress(table, kIpAddressRegister + 4, {ip[0], ip[1], ip[2], 1});
  table[57] = 15;  // MODBUS connections and connection watchdog
  table[58] = 600;
  table[59] = 80;  // HTTP port
  table[66] = 1;   // EtherNet/IP RUN/IDLE headers
  table[67] = 1;
  table[71] = 1;  // task priority
  return table;
}

TableImage EthernetTable16() {
  TableImage table(kEthernetTableSize16, 0);
  table[3] = 1;   // web server on
  table[4] = 80;  // HTTP port
  table[5] = 1;   // BootP on
  return table;
}

// Register n holds 0x5A00 + n, so that every word read shows where it came from.
TableImage WideTable() {
  TableImage table(kWideTableSize);
  for (std::size_t n = 0; n < table.size(); ++n) table[n] = static_cast<std::uint16_t>(kWideTableFactory + n);
  return table;
}

TableSet ParameterTables(TableImage ethernet) {
  return {{kCouplerTable, TableImage(kCouplerTableSize, 0)}, {kEthernetTable, std::move(ethernet)}};
}

TableSet DeviceTables(std::optional<ProtocolWords> protocol) {
  TableSet tables{{kStateTable, TableImage(2, 0)}};
  if (protocol) tables[kProtocolTable] = ProtocolTable(*protocol);
  return tables;
}

const ServiceId kTableInfo = MakeServiceId(1, 19);
const ServiceId kAddressSwitch = MakeServiceId(1, 7);
const ServiceId kFirmwareLoader = MakeServiceId(1, 18);
const ServiceId kCpuInfo = MakeServiceId(1, 20);
const ServiceId kProductionMarking = MakeServiceId(1, 16);
const ServiceId kGetClock = MakeServiceId(1, 22);
const ServiceId kSetClock = MakeServiceId(1, 23);
const ServiceId kExtractFiles = MakeServiceId(3, 1);
const ServiceId kFormatFlash = MakeServiceId(3, 2);

std::vector<Profile> BuildProfiles() {
  std::vector<Profile> profiles;

  Profile fbc32;
  fbc32.name = "fbc32";
  fbc32.summary = "Ethernet fieldbus coupler, 32-bit generation";
  fbc32.identity = {
      .orderNumber = "716-341",
      .description = "ETHERNET FBC 100MBIT",
      .hardwareVersion = "03",
      .softwareVersion = "01.07.12(09)",
      .firmwareLoaderVersion = "01.02.05",
      .serialNumber = "0716341-21C4-000117",
      .networkKind = "MAC-ID",
      .networkValue = "02:4F:52:10:34:11",
      .burnDate = "2023-05-17",
      .psn = "PSN 0716-0341-09",
      .productionMarking = "PM 2023/20",
      .qsMarking = "QS 4471",
  };
  fbc32.generation = Generation::Bits32;
  fbc32.parameterTables = ParameterTables(EthernetTable32({192, 168, 1, 17}));
  fbc32.deviceTables = DeviceTables(ProtocolWords{});
  fbc32.baudMantissa = 10;
  fbc32.baudExponent = 7;
  fbc32.addressSwitch = 17;
  fbc32.terminalModules = 4;
  fbc32.absoluteMonitorTimes = true;
  profiles.push_back(fbc32);

  Profile pfc32 = fbc32;
  pfc32.name = "pfc32";
  pfc32.summary = "programmable fieldbus controller, 32-bit generation";
  pfc32.identity = {
      .orderNumber = "716-861",
      .description = "ETHERNET PFC 100MBIT",
      .hardwareVersion = "02",
      .softwareVersion = "01.03.08(04)",
      .firmwareLoaderVersion = "01.02.05",
      .serialNumber = "0716861-21D0-000342",
      .networkKind = "MAC-ID",
      .networkValue = "02:4F:52:10:86:12",
      .burnDate = "2023-09-02",
      .psn = "PSN 0716-0861-04",
      .productionMarking = "PM 2023/36",
      .qsMarking = "QS 4520",
  };
  pfc32.parameterTables = ParameterTables(EthernetTable32({192, 168, 1, 20}));
  pfc32.addressSwitch = 20;
  pfc32.terminalModules = 6;
  profiles.push_back(pfc32);

  Profile node = fbc32;
  node.name = "fbcnode";
  node.summary = "32-bit coupler that reports a node number instead of a MAC-ID";
  node.identity = {
      .orderNumber = "716-376",
      .description = "FIELDBUS FBC NODE",
      .hardwareVersion = "01",
      .softwareVersion = "01.01.02(01)",
      .firmwareLoaderVersion = "01.01.00",
      .serialNumber = "0716376-20A1-000031",
      .networkKind = "NODE-ID",
      .networkValue = "0x1F",
      .burnDate = "2022-11-08",
      .psn = "PSN 0716-0376-01",
      .productionMarking = "PM 2022/45",
      .qsMarking = "QS 3980",
  };
  node.parameterTables = ParameterTables(EthernetTable32({192, 168, 1, 30}));
  node.addressSwitch = 31;
  profiles.push_back(node);

  Profile fbc16;
  fbc16.name = "fbc16";
  fbc16.summary = "Ethernet fieldbus coupler, 16-bit generation (no clock, no file system)";
  fbc16.identity = {
      .orderNumber = "716-312",
      .description = "ETHERNET FBC 10MBIT",
      .hardwareVersion = "05",
      .softwareVersion = "00.04.11(02)",
      .firmwareLoaderVersion = "00.09.01",
      .serialNumber = "0716312-1744-002211",
      .networkKind = "MAC-ID",
      .networkValue = "02:4F:52:10:31:21",
      .burnDate = "2017-03-21",
      .psn = "PSN 0716-0312-02",
      .productionMarking = "PM 2017/12",
      .qsMarking = "QS 1207",
  };
  fbc16.generation = Generation::Bits16;
  fbc16.missingServices = {kCpuInfo, kGetClock, kSetClock, kExtractFiles, kFormatFlash};
  fbc16.addresses = {"192.168.1.18", "255.255.255.0", "192.168.1.1"};
  fbc16.parameterTables = ParameterTables(EthernetTable16());
  fbc16.deviceTables = DeviceTables(std::nullopt);
  fbc16.baudMantissa = 1;
  fbc16.baudExponent = 7;
  fbc16.addressSwitch = 18;
  fbc16.terminalModules = 3;
  profiles.push_back(fbc16);

  Profile old = fbc16;
  old.name = "fbcold";
  old.summary = "old coupler: no table-info service, bare internal variables, address switch in group 0";
  old.identity = {
      .orderNumber = "716-301/000-000",
      .description = "ETHERNET FBC",
      .hardwareVersion = "01",
      .softwareVersion = "00.02.03(00)",
      .firmwareLoaderVersion = "",
      .serialNumber = "0716301-0931-000458",
      .networkKind = "MAC-ID",
      .networkValue = "02:4F:52:10:30:01",
      .burnDate = "",
      .psn = "",
      .productionMarking = "",
      .qsMarking = "",
  };
  old.missingServices = {kTableInfo,    kAddressSwitch, kFirmwareLoader, kCpuInfo,    kProductionMarking,
                         kGetClock,     kSetClock,      kExtractFiles,   kFormatFlash};
  old.namedInternalVariables = false;
  old.addresses = {"10.0.0.21", "255.0.0.0", "10.0.0.1"};
  old.addressSwitch = 21;
  old.terminalModules = 2;
  profiles.push_back(old);

  Profile ext = fbc32;
  ext.name = "fbcext";
  ext.summary = "32-bit coupler that speaks the extended protocol (fragments of 64 bytes, table 110)";
  ext.identity = {
      .orderNumber = "716-352",
      .description = "ETHERNET FBC 100MBIT XT",
      .hardwareVersion = "04",
      .softwareVersion = "01.08.02(10)",
      .firmwareLoaderVersion = "01.03.01",
      .serialNumber = "0716352-24B2-000208",
      .networkKind = "MAC-ID",
      .networkValue = "02:4F:52:10:35:22",
      .burnDate = "2024-11-02",
      .psn = "PSN 0716-0352-01",
      .productionMarking = "PM 2024/44",
      .qsMarking = "QS 5102",
  };
  ext.parameterTables = ParameterTables(EthernetTable32({192, 168, 1, 52}));
  ext.deviceTables = DeviceTables(ProtocolWords{.targetBufSize = 1024, .version = 1});
  ext.scratchTables = {{kWideTable, WideTable()}};
  ext.addressSwitch = 52;
  profiles.push_back(ext);

  return profiles;
}

}  // namespace

bool Profile::Offers(ServiceId service) const {
  return std::find(missingServices.begin(), missingServices.end(), service) == missingServices.end();
}

std::span<const Profile> AllProfiles() {
  static const std::vector<Profile> profiles = BuildProfiles();
  return profiles;
}

const Profile* FindProfile(std::string_view name) {
  for (const Profile& profile : AllProfiles())
    if (profile.name == name) return &profile;
  return nullptr;
}

std::optional<std::string> IdentityProblem(const Identity& identity) {
  static constexpr std::array<std::pair<TextGroup, const char*>, 6> kGroups{{
      {TextGroup::Identification, "order number, description and versions"},
      {TextGroup::NetworkId, "network identity kind and value"},
      {TextGroup::SerialNumber, "serial number"},
      {TextGroup::FirmwareLoader, "firmware-loader version"},
      {TextGroup::CpuInfo, "burn date and PSN"},
      {TextGroup::ProductionMarking, "production markings"},
  }};
  for (const auto& [group, label] : kGroups) {
    const std::vector<std::string_view> texts = TextsOf(identity, group);
    if (!PackTexts(texts))
      return std::string(label) + ": together longer than the 82 bytes a service answer holds (with one length byte each)";
  }
  return std::nullopt;
}

}  // namespace fennec::sim
