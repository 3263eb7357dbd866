#pragma once

#include "base/IniFile.h"
#include "pages/CouplerSettingsPageModel.h"

namespace lanterna {

// The Ethernet port: speed and duplex mode, bandwidth limiting with its activation time and the
// task priority (registers 69 to 71).
class CTransmissionPageModel : public CCouplerSettingsPageModel {
 public:
  // Shown while a fixed full-duplex mode is chosen.
  static constexpr const char* kDuplexWarning =
      "<table>\n<tr><td><icon idres=139 width=32 height=32></td><td><center><h2>Warning</h2></center><br><hr "
      "color=green><br><font color=red size=10pt style=b>Setting to full duplex could<br>cause duplex "
      "missmatch!</font></td></tr></table>";

  explicit CTransmissionPageModel(const CIniFile& ini);

  bool ShowsDuplexWarning() const;

  std::optional<ValidationFailure> ValidateSettings() const override;

 protected:
  std::size_t EthWordsNeeded() const override;
  void ReadSettings() override;
  void WriteSettings() override;

 private:
  std::uint32_t m_bAutoNegotiation = 0;
  std::uint32_t m_b100MBit = 0;
  std::uint32_t m_bFullDuplex = 0;
  std::uint32_t m_bBandwidthLimiting = 0;
  std::int32_t m_nSpeedDuplex = -1;
  std::int32_t m_nTaskPriority = -1;
  tParameterRecord m_activationTime;
  CNumberParameter* m_pActivationTime;
};

}  // namespace lanterna
