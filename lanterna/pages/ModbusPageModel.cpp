#include "pages/ModbusPageModel.h"

#include "pages/NumberText.h"
#include "pages/RegisterBits.h"

namespace lanterna {

namespace {

constexpr std::size_t kCloseSockets = 1;
constexpr std::size_t kWatchdogConfig = 2;
constexpr std::size_t kWatchdogTimeout = 3;
constexpr std::size_t kMask1 = 4;
constexpr std::size_t kMask2 = 5;
constexpr std::size_t kConnectionCount = 57;
constexpr std::size_t kConnectionWatchdog = 58;
constexpr std::size_t kOlderConnectionWatchdog = 2;

const std::vector<std::string> kWatchdogConfigItems = {" [0] Standard", " [1] Alternate"};

}  // namespace

CModbusPageModel::CModbusPageModel(const CIniFile& ini) : CCouplerSettingsPageModel("MODBUS") {
  const std::string& section = GetSection();
  m_watchdogTimeout = LoadParameterRecord(ini, section, "WatchdogTimeout", {0, 65535, 1});
  m_mask1 = LoadParameterRecord(ini, section, "TriggerMask1", {0, 65535, 65535});
  m_mask2 = LoadParameterRecord(ini, section, "TriggerMask2", {0, 65535, 65535});
  m_connectionCount = LoadParameterRecord(ini, section, "ConnectionCount", {0, 5, 5});
  // One range, a default per generation; the page starts as an older device's page.
  m_nWatchdogDef32 = ini.GetInt(section, "ConnectionWatchdogDef32", 600);
  m_nWatchdogDef16 = ini.GetInt(section, "ConnectionWatchdogDef16", 0);
  m_connectionWatchdog.min = ini.GetInt(section, "ConnectionWatchdogMin", 0);
  m_connectionWatchdog.max = ini.GetInt(section, "ConnectionWatchdogMax", 65535);
  m_connectionWatchdog.def = m_connectionWatchdog.value = m_nWatchdogDef16;

  AddParameter<CSwitchParameter>({"MODBUS.CloseSockets", "Close Sockets after Watchdog Error", "100:1", ""},
                                 m_bCloseSockets);
  AddParameter<CListParameter>({"MODBUS.WatchdogConfiguration", "Watchdog Configuration", "100:2", ""},
                               m_nWatchdogConfig, kWatchdogConfigItems);
  m_pWatchdogTimeout = &AddParameter<CNumberParameter>({"MODBUS.WatchdogTimeout", "Watchdog Timeout", "100:3", ""},
                                                       m_watchdogTimeout, kTypeDecimalWord);
  m_pMask1 = &AddParameter<CNumberParameter>({"MODBUS.TriggerMask1", "Function Code Mask 1", "100:4", ""}, m_mask1,
                                             kTypeHexWord);
  m_pMask2 = &AddParameter<CNumberParameter>({"MODBUS.TriggerMask2", "Function Code Mask 2", "100:5", ""}, m_mask2,
                                             kTypeHexWord);
  m_pConnectionCount = &AddParameter<CNumberParameter>(
      {"MODBUS.ConnectionCount", "Maximum Connections", "100:57", ""}, m_connectionCount, kTypeDecimalWord);
  m_pConnectionCount->EditableWhen([] { return false; });
  m_pConnectionWatchdog = &AddParameter<CNumberParameter>(
      {"MODBUS.ConnectionWatchdog", "Connection Watchdog", "100:58", "100:2"}, m_connectionWatchdog, kTypeDecimalWord);
}

std::optional<ValidationFailure> CModbusPageModel::ValidateSettings() const {
  if (!Is32()) return FirstFailure({m_pConnectionWatchdog});
  return FirstFailure({m_pConnectionWatchdog, m_pWatchdogTimeout, m_pMask1, m_pMask2});
}

std::size_t CModbusPageModel::EthWordsNeeded() const {
  return Is32() ? kConnectionWatchdog + 1 : kOlderConnectionWatchdog + 1;
}

void CModbusPageModel::ReadSettings() {
  const auto table = EthTable();
  m_connectionWatchdog.def = Is32() ? m_nWatchdogDef32 : m_nWatchdogDef16;
  if (!Is32()) {
    m_connectionWatchdog.value = table[kOlderConnectionWatchdog];
    return;
  }
  m_bCloseSockets = table[kCloseSockets];
  m_nWatchdogConfig = table[kWatchdogConfig];
  m_pWatchdogTimeout->ReadInRange(table[kWatchdogTimeout]);
  m_pConnectionCount->ReadInRange(table[kConnectionCount]);
  m_pConnectionWatchdog->ReadInRange(table[kConnectionWatchdog]);
  m_pMask1->ReadInRange(table[kMask1]);
  m_pMask2->ReadInRange(table[kMask2]);
}

void CModbusPageModel::WriteSettings() {
  const auto table = EthTable();
  if (!Is32()) {
    table[kOlderConnectionWatchdog] = LowWord(m_connectionWatchdog.value);
    return;
  }
  table[kCloseSockets] = LowWord(m_bCloseSockets);
  table[kWatchdogConfig] = LowWord(m_nWatchdogConfig);
  table[kWatchdogTimeout] = LowWord(m_watchdogTimeout.value);
  table[kMask1] = LowWord(m_mask1.value);
  table[kMask2] = LowWord(m_mask2.value);
  table[kConnectionCount] = LowWord(m_connectionCount.value);
  table[kConnectionWatchdog] = LowWord(m_connectionWatchdog.value);
}

}  // namespace lanterna
