#pragma once

#include "base/IniFile.h"
#include "pages/CouplerSettingsPageModel.h"

namespace lanterna {

// The SNTP client: on or off (register 0 bit 3, shared with the Protocol page), its time
// server, update interval and time-out. The daylight-saving register is carried through.
class CSntpPageModel : public CCouplerSettingsPageModel {
 public:
  explicit CSntpPageModel(const CIniFile& ini);

  std::optional<ValidationFailure> ValidateSettings() const override;

 protected:
  std::size_t EthWordsNeeded() const override;
  void ReadSettings() override;
  void WriteSettings() override;

 private:
  std::uint32_t m_bClient = 0;
  std::uint32_t m_dwTimeServer = 0;
  tParameterRecord m_interval;
  tParameterRecord m_timeout;
  std::int32_t m_nDaylightSaving = -1;
  CNumberParameter* m_pInterval;
  CNumberParameter* m_pTimeout;
};

}  // namespace lanterna
