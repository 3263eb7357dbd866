#pragma once

#include <array>

#include "base/IniFile.h"
#include "pages/CouplerSettingsPageModel.h"

namespace lanterna {

// EtherNet/IP of a controller: the PLC fieldbus variable counts, the PLC-only counts with their
// offsets (a count and its offset share one range) and the RUN/IDLE header in each direction.
class CEthernetIPPageModel : public CCouplerSettingsPageModel {
 public:
  explicit CEthernetIPPageModel(const CIniFile& ini);

  std::optional<ValidationFailure> ValidateSettings() const override;

 protected:
  std::size_t EthWordsNeeded() const override;
  void ReadSettings() override;
  void WriteSettings() override;

 private:
  // Registers 60 to 65, in register order.
  std::array<tParameterRecord, 6> m_counts;
  std::array<CNumberParameter*, 6> m_countFields;
  std::int32_t m_nHeaderOT = 0;
  std::int32_t m_nHeaderTO = 0;
};

}  // namespace lanterna
