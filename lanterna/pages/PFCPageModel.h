#pragma once

#include "pages/CouplerSettingsPageModel.h"

namespace lanterna {

// Two switches of a controller in register 26 of table 0: reset the outputs on PLC stop, and,
// on one model only, use the alternative (older) Target-ID.
class CPFCPageModel : public CCouplerSettingsPageModel {
 public:
  static constexpr const char* kAlternativeTargetIdModel = "4210-0377";

  CPFCPageModel();

  // Only that model may switch the alternative Target-ID; the others carry its bit through.
  bool OffersAlternativeTargetId() const;

 protected:
  std::size_t CplWordsNeeded() const override;
  void ReadSettings() override;
  void WriteSettings() override;

 private:
  std::uint32_t m_bResetOutputs = 0;
  std::uint32_t m_bAlternativeTargetId = 0;
};

}  // namespace lanterna
