#pragma once

#include "pages/CouplerSettingsPageModel.h"

namespace lanterna {

// Host name and domain: zero-terminated 8-bit texts of 32 bytes each in registers 25 to 40 and
// 41 to 56, low byte of a register first.
class CNetworkPageModel : public CCouplerSettingsPageModel {
 public:
  static constexpr std::size_t kMaxLength = 31;

  CNetworkPageModel();

 protected:
  std::size_t EthWordsNeeded() const override;
  void ReadSettings() override;
  void WriteSettings() override;

 private:
  std::string m_strHostName;
  std::string m_strDomain;
};

}  // namespace lanterna
