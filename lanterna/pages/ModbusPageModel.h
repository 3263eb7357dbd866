#pragma once

#include "base/IniFile.h"
#include "pages/CouplerSettingsPageModel.h"

namespace lanterna {

// MODBUS/TCP: the connection watchdog on every device; on the 32-bit generation also the
// watchdog configuration and timeout, the two function-code masks, closing sockets after
// watchdog errors and, read only, the maximum number of connections.
class CModbusPageModel : public CCouplerSettingsPageModel {
 public:
  explicit CModbusPageModel(const CIniFile& ini);

  std::optional<ValidationFailure> ValidateSettings() const override;

 protected:
  std::size_t EthWordsNeeded() const override;
  void ReadSettings() override;
  void WriteSettings() override;

 private:
  std::uint32_t m_bCloseSockets = 0;
  std::int32_t m_nWatchdogConfig = 0;
  tParameterRecord m_watchdogTimeout;
  tParameterRecord m_mask1;
  tParameterRecord m_mask2;
  tParameterRecord m_connectionCount;
  tParameterRecord m_connectionWatchdog;
  std::int32_t m_nWatchdogDef32;
  std::int32_t m_nWatchdogDef16;
  CNumberParameter* m_pWatchdogTimeout;
  CNumberParameter* m_pMask1;
  CNumberParameter* m_pMask2;
  CNumberParameter* m_pConnectionCount;
  CNumberParameter* m_pConnectionWatchdog;
};

}  // namespace lanterna
