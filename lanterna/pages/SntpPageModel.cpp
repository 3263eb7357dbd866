#include "pages/SntpPageModel.h"

#include "base/Ipv4Address.h"
#include "pages/NumberText.h"
#include "pages/RegisterBits.h"

namespace lanterna {

namespace {

constexpr std::size_t kSwitches = 0;
constexpr int kClientBit = 3;
constexpr std::size_t kInterval = 6;
constexpr std::size_t kTimeout = 7;
constexpr std::size_t kDaylightSaving = 8;
constexpr std::size_t kTimeServer = 19;

}  // namespace

CSntpPageModel::CSntpPageModel(const CIniFile& ini) : CCouplerSettingsPageModel("SNTP") {
  m_interval = LoadParameterRecord(ini, GetSection(), "ClientInterval", {0, 65535, 0});
  m_timeout = LoadParameterRecord(ini, GetSection(), "ClientTimeout", {0, 65535, 2000});
  auto clientOn = [this] { return m_bClient != 0; };

  AddParameter<CSwitchParameter>({"SNTP.Client", "SNTP", "100:0 bit 3", "100:0 bit 3"}, m_bClient);
  AddParameter<CAddressParameter>({"SNTP.TimeServer", "SNTP-Time Server", "100:19-20", "100:19-20"}, m_dwTimeServer)
      .EnabledWhen(clientOn);
  m_pInterval = &AddParameter<CNumberParameter>(
      {"SNTP.ClientInterval", "SNTP Client Interval", "100:6", "100:6"}, m_interval, kTypeDecimalWord);
  m_pInterval->EnabledWhen(clientOn);
  m_pTimeout = &AddParameter<CNumberParameter>(
      {"SNTP.ClientTimeout", "SNTP Client Timeout", "100:7", "100:7"}, m_timeout, kTypeDecimalWord);
  m_pTimeout->EnabledWhen(clientOn);
}

std::optional<ValidationFailure> CSntpPageModel::ValidateSettings() const {
  return FirstFailure({m_pInterval, m_pTimeout});
}

std::size_t CSntpPageModel::EthWordsNeeded() const { return kTimeServer + 2; }

void CSntpPageModel::ReadSettings() {
  const auto table = EthTable();
  m_bClient = TestBit(table[kSwitches], kClientBit);
  m_dwTimeServer = ReadAddressPair(table, kTimeServer);
  m_pInterval->ReadInRange(table[kInterval]);
  m_pTimeout->ReadInRange(table[kTimeout]);
  m_nDaylightSaving = table[kDaylightSaving];
}

void CSntpPageModel::WriteSettings() {
  const auto table = EthTable();
  table[kSwitches] = WithBit(table[kSwitches], kClientBit, m_bClient != 0);
  table[kInterval] = LowWord(m_interval.value);
  table[kTimeout] = LowWord(m_timeout.value);
  table[kDaylightSaving] = LowWord(m_nDaylightSaving);
  WriteAddressPair(table, kTimeServer, m_dwTimeServer);
}

}  // namespace lanterna
