#include "pages/PFCPageModel.h"

#include "base/OrderNumber.h"
#include "pages/RegisterBits.h"

namespace lanterna {

namespace {

constexpr std::size_t kSwitches = 26;
constexpr std::uint16_t kOtherBits = 0xFFEE;
constexpr int kResetOutputsBit = 0;
constexpr int kAlternativeTargetIdBit = 4;

}  // namespace

CPFCPageModel::CPFCPageModel() : CCouplerSettingsPageModel("PFC") {
  AddParameter<CSwitchParameter>({"PFC.ResetOutputs", "Reset outputs on PLC stop", "0:26 bit 0", "0:26 bit 0"},
                                 m_bResetOutputs);
  AddParameter<CSwitchParameter>(
      {"PFC.AlternativeTargetId", "Use alternative Target-ID", "0:26 bit 4", "0:26 bit 4"}, m_bAlternativeTargetId)
      .EditableWhen([this] { return OffersAlternativeTargetId(); });
}

bool CPFCPageModel::OffersAlternativeTargetId() const {
  return COrderNumber(ArticleNo()) == COrderNumber(kAlternativeTargetIdModel);
}

std::size_t CPFCPageModel::CplWordsNeeded() const { return kSwitches + 1; }

void CPFCPageModel::ReadSettings() {
  const std::uint16_t switches = CplTable()[kSwitches];
  m_bResetOutputs = TestBit(switches, kResetOutputsBit);
  m_bAlternativeTargetId = TestBit(switches, kAlternativeTargetIdBit);
}

void CPFCPageModel::WriteSettings() {
  const auto table = CplTable();
  std::uint16_t switches = table[kSwitches] & kOtherBits;
  switches = WithBit(switches, kResetOutputsBit, m_bResetOutputs != 0);
  switches = WithBit(switches, kAlternativeTargetIdBit, m_bAlternativeTargetId != 0);
  table[kSwitches] = switches;
}

}  // namespace lanterna
