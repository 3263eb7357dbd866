#include "pages/TransmissionPageModel.h"

#include <array>

#include "pages/NumberText.h"
#include "pages/RegisterBits.h"

namespace lanterna {

namespace {

constexpr std::size_t kSwitches = 69;
constexpr std::size_t kActivationTime = 70;
constexpr std::size_t kTaskPriority = 71;
constexpr std::uint16_t kOtherSettingsBits = 0xFFE8;

constexpr int kAutoNegotiationBit = 0;
constexpr int k100MBitBit = 1;
constexpr int kFullDuplexBit = 2;
constexpr int kBandwidthLimitingBit = 4;

struct SpeedDuplex {
  bool autoNegotiation, fast, fullDuplex;
};
// Auto-negotiation also sets the 100 MBit and full-duplex bits.
constexpr std::array<SpeedDuplex, 5> kSpeedDuplexBits = {
    {{true, true, true}, {false, false, false}, {false, false, true}, {false, true, false}, {false, true, true}}};

const std::vector<std::string> kSpeedDuplexItems = {"  Auto Negotiate", "  10 MBit / Half Duplex",
                                                    "  10 MBit / Full Duplex", "  100 MBit / Half Duplex",
                                                    "  100 MBit / Full Duplex"};
const std::vector<std::string> kTaskPriorityItems = {"  [1] KBUS running", "  [2] KBUS and SPS running",
                                                     "  [3] All tasks running"};

bool IsListIndex(std::int32_t index, std::size_t count) {
  return index >= 0 && static_cast<std::size_t>(index) < count;
}

}  // namespace

CTransmissionPageModel::CTransmissionPageModel(const CIniFile& ini) : CCouplerSettingsPageModel("TRAFFIC") {
  // The activation time's range is kept with the SNTP settings.
  m_activationTime = LoadParameterRecord(ini, "SNTP", "ActivationTime", {0, 65535, 30});
  auto limiting = [this] { return m_bBandwidthLimiting != 0; };

  AddParameter<CListParameter>({"TRAFFIC.SpeedDuplex", "Speed/Duplex Mode", "100:69 bits 0-2", "100:69 bits 0-2"},
                               m_nSpeedDuplex, kSpeedDuplexItems);
  AddParameter<CSwitchParameter>({"TRAFFIC.BandwidthLimiting", "Bandwidth Limiting", "100:69 bit 4", "100:69 bit 4"},
                                 m_bBandwidthLimiting);
  m_pActivationTime = &AddParameter<CNumberParameter>(
      {"TRAFFIC.ActivationTime", "Activation Time", "100:70", "100:70"}, m_activationTime, kTypeDecimalWord);
  m_pActivationTime->EnabledWhen(limiting);
  AddParameter<CListParameter>({"TRAFFIC.TaskPriority", "Task Priority", "100:71", "100:71"}, m_nTaskPriority,
                               kTaskPriorityItems)
      .EnabledWhen(limiting);
}

bool CTransmissionPageModel::ShowsDuplexWarning() const {
  if (!IsListIndex(m_nSpeedDuplex, kSpeedDuplexBits.size())) return false;
  const SpeedDuplex& mode = kSpeedDuplexBits[static_cast<std::size_t>(m_nSpeedDuplex)];
  return mode.fullDuplex && !mode.autoNegotiation;
}

std::optional<ValidationFailure> CTransmissionPageModel::ValidateSettings() const {
  return FirstFailure({m_pActivationTime});
}

std::size_t CTransmissionPageModel::EthWordsNeeded() const { return kTaskPriority + 1; }

void CTransmissionPageModel::ReadSettings() {
  const auto table = EthTable();
  const std::uint16_t switches = table[kSwitches];
  m_bAutoNegotiation = TestBit(switches, kAutoNegotiationBit);
  m_b100MBit = TestBit(switches, k100MBitBit);
  m_bFullDuplex = TestBit(switches, kFullDuplexBit);
  m_bBandwidthLimiting = TestBit(switches, kBandwidthLimitingBit);
  if (m_bAutoNegotiation)
    m_nSpeedDuplex = 0;
  else if (!m_b100MBit)
    m_nSpeedDuplex = m_bFullDuplex ? 2 : 1;
  else
    m_nSpeedDuplex = m_bFullDuplex ? 4 : 3;

  m_pActivationTime->ReadInRange(table[kActivationTime]);
  const std::uint16_t priority = table[kTaskPriority];
  m_nTaskPriority = priority >= 1 && priority <= kTaskPriorityItems.size() ? priority - 1 : -1;
}

void CTransmissionPageModel::WriteSettings() {
  if (IsListIndex(m_nSpeedDuplex, kSpeedDuplexBits.size())) {
    const SpeedDuplex& mode = kSpeedDuplexBits[static_cast<std::size_t>(m_nSpeedDuplex)];
    m_bAutoNegotiation = mode.autoNegotiation;
    m_b100MBit = mode.fast;
    m_bFullDuplex = mode.fullDuplex;
  }
  const auto table = EthTable();
  std::uint16_t switches = table[kSwitches] & kOtherSettingsBits;
  switches = WithBit(switches, kAutoNegotiationBit, m_bAutoNegotiation != 0);
  switches = WithBit(switches, k100MBitBit, m_b100MBit != 0);
  switches = WithBit(switches, kFullDuplexBit, m_bFullDuplex != 0);
  switches = WithBit(switches, kBandwidthLimitingBit, m_bBandwidthLimiting != 0);
  table[kSwitches] = switches;
  table[kActivationTime] = LowWord(m_activationTime.value);
  if (m_nTaskPriority != -1) table[kTaskPriority] = LowWord(m_nTaskPriority + 1);
}

}  // namespace lanterna
