#include "pages/CouplerSettingsPageModel.h"

#include <algorithm>

namespace lanterna {

CCouplerSettingsPageModel::CCouplerSettingsPageModel(std::string section) : m_strSection(std::move(section)) {}

void CCouplerSettingsPageModel::SetPageUsed(bool used) {
  m_bPageUsed = used;
  if (used) return;
  m_ethTable = {};
  m_cplTable = {};
  m_bLoaded = false;
}

void CCouplerSettingsPageModel::SetCplTable(std::span<std::uint16_t> table, bool is32, bool isPFC) {
  m_cplTable = table;
  m_bIs32 = is32;
  m_bIsPFC = isPFC;
}

bool CCouplerSettingsPageModel::SetEthTable(std::span<std::uint16_t> table, bool is32, bool isPFC) {
  m_ethTable = table;
  m_bIs32 = is32;
  m_bIsPFC = isPFC;
  // The images come from the device: a short one must not be read past.
  m_bLoaded = m_ethTable.size() >= EthWordsNeeded() && m_cplTable.size() >= CplWordsNeeded();
  if (!m_bLoaded) return false;
  for (const auto& parameter : m_parameters) parameter->ForgetText();
  ReadSettings();
  return true;
}

std::optional<ValidationFailure> CCouplerSettingsPageModel::CommitSettings() {
  if (!m_bPageUsed || !m_bLoaded) return std::nullopt;
  auto failure = ValidateSettings();
  WriteSettings();
  return failure;
}

CPageParameter* CCouplerSettingsPageModel::FindParameter(std::string_view key) const {
  const auto found = std::find_if(m_parameters.begin(), m_parameters.end(),
                                  [key](const auto& parameter) { return parameter->Key() == key; });
  return found == m_parameters.end() ? nullptr : found->get();
}

std::optional<ValidationFailure> CCouplerSettingsPageModel::FirstFailure(
    std::initializer_list<const CNumberParameter*> fields) {
  for (const CNumberParameter* field : fields)
    if (auto failure = field->Validate()) return failure;
  return std::nullopt;
}

}  // namespace lanterna
