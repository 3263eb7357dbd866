#include "pages/EthernetIPPageModel.h"

#include "pages/NumberText.h"
#include "pages/RegisterBits.h"

namespace lanterna {

namespace {

constexpr std::size_t kFirstCount = 60;
constexpr std::size_t kHeaderOT = 66;
constexpr std::size_t kHeaderTO = 67;

struct CountField {
  const char* name;
  const char* title;
  std::int32_t def;
  int partner;  // index of the field whose value is taken off the max, -1 for none
};
// Register order; the checks run in the same order.
constexpr CountField kCountFields[] = {
    {"BkFbInpVarCnt", "Fieldbus Input Variable Count", 0, -1},
    {"BkFbOutVarCnt", "Fieldbus Output Variable Count", 0, -1},
    {"BkFbInpPlcOnlyVarCnt", "PLC-only Input Variable Count", 4, 3},
    {"BkFbInpStartPlcVarCnt", "PLC-only Input Variable Offset", 0, 2},
    {"BkFbOutPlcOnlyVarCnt", "PLC-only Output Variable Count", 4, 5},
    {"BkFbOutStartPlcVarCnt", "PLC-only Output Variable Offset", 0, 4},
};

const std::vector<std::string> kHeaderItems = {" [0] used", " [1] not used"};

std::int32_t HeaderIndex(std::uint16_t word) { return word <= 1 ? word : -1; }

}  // namespace

CEthernetIPPageModel::CEthernetIPPageModel(const CIniFile& ini) : CCouplerSettingsPageModel("ETHERNETIP") {
  for (std::size_t i = 0; i < m_counts.size(); ++i)
    m_counts[i] = LoadParameterRecord(ini, GetSection(), kCountFields[i].name, {0, 512, kCountFields[i].def});

  auto isPFC = [this] { return IsPFC(); };
  for (std::size_t i = 0; i < m_counts.size(); ++i) {
    const CountField& field = kCountFields[i];
    const std::string registers = "100:" + std::to_string(kFirstCount + i);
    auto& parameter = AddParameter<CNumberParameter>(
        {std::string("ETHERNETIP.") + field.name, field.title, registers, registers}, m_counts[i], kTypeDecimalWord);
    if (field.partner >= 0) parameter.SharesRangeWith(m_counts[static_cast<std::size_t>(field.partner)]);
    parameter.EditableWhen(isPFC);
    m_countFields[i] = &parameter;
  }
  AddParameter<CListParameter>(
      {"ETHERNETIP.HeaderCfgOT", "RUN/IDLE Header Originator to Target", "100:66", "100:66"}, m_nHeaderOT, kHeaderItems);
  AddParameter<CListParameter>(
      {"ETHERNETIP.HeaderCfgTO", "RUN/IDLE Header Target to Originator", "100:67", "100:67"}, m_nHeaderTO, kHeaderItems);
}

std::optional<ValidationFailure> CEthernetIPPageModel::ValidateSettings() const {
  for (const CNumberParameter* field : m_countFields)
    if (auto failure = field->Validate()) return failure;
  return std::nullopt;
}

std::size_t CEthernetIPPageModel::EthWordsNeeded() const { return kHeaderTO + 1; }

void CEthernetIPPageModel::ReadSettings() {
  const auto table = EthTable();
  // In register order: an offset's range depends on the count read just before it.
  for (std::size_t i = 0; i < m_countFields.size(); ++i) m_countFields[i]->ReadInRange(table[kFirstCount + i]);
  m_nHeaderOT = HeaderIndex(table[kHeaderOT]);
  m_nHeaderTO = HeaderIndex(table[kHeaderTO]);
}

void CEthernetIPPageModel::WriteSettings() {
  const auto table = EthTable();
  for (std::size_t i = 0; i < m_counts.size(); ++i) table[kFirstCount + i] = LowWord(m_counts[i].value);
  if (m_nHeaderOT != -1) table[kHeaderOT] = LowWord(m_nHeaderOT);
  if (m_nHeaderTO != -1) table[kHeaderTO] = LowWord(m_nHeaderTO);
}

}  // namespace lanterna
