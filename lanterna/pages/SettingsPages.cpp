#include "pages/SettingsPages.h"

#include <algorithm>
#include <utility>

namespace lanterna {

namespace {

std::string_view SectionOf(std::string_view key) { return key.substr(0, key.find('.')); }

// Register 0 bit 3 is shown on two pages: an edit on either is an edit of both, so that the
// page committed last cannot undo it.
constexpr std::pair<std::string_view, std::string_view> kSharedSwitches[] = {{"PROTOCOL.SNTP", "SNTP.Client"}};

ValidationFailure Refusal(std::string_view key, std::string message) {
  return {std::string(key), std::string(key), std::move(message)};
}

}  // namespace

CSettingsPages::CSettingsPages(const CIniFile& ini)
    : m_tcpip(ini),
      m_modbus(ini),
      m_protocol(ini),
      m_transmission(ini),
      m_sntp(ini),
      m_ethernetIP(ini),
      m_pages{&m_common, &m_tcpip,        &m_network, &m_clock,      &m_modbus,
              &m_protocol, &m_transmission, &m_sntp,    &m_ethernetIP, &m_pfc} {}

CCouplerSettingsPageModel* CSettingsPages::FindPage(std::string_view section) const {
  const auto found = std::find_if(m_pages.begin(), m_pages.end(),
                                  [section](const auto* page) { return page->GetSection() == section; });
  return found == m_pages.end() ? nullptr : *found;
}

std::vector<std::string> CSettingsPages::Load(const tIdentification& identification, const tDevicePages& pages,
                                              std::vector<std::uint16_t>& table0,
                                              std::vector<std::uint16_t>& table100) {
  const auto& used = pages.shownKeys;
  for (CCouplerSettingsPageModel* page : m_pages)
    page->SetPageUsed(std::find(used.begin(), used.end(), page->GetSection()) != used.end());

  m_bIs32 = pages.is32;
  m_bIsPFC = pages.isPFC;
  if (!m_bIs32) m_tcpip.SetAddressStrings(identification.ipAddress, identification.subnetMask, identification.gateway, "", "");
  m_common.SetIdentificationTexts(identification);

  // The order in which the dialog hands its data to the pages.
  std::vector<std::string> notLoaded;
  const std::initializer_list<CCouplerSettingsPageModel*> readOrder = {
      &m_tcpip, &m_network, &m_modbus, &m_ethernetIP, &m_sntp, &m_protocol, &m_transmission, &m_clock, &m_common, &m_pfc};
  for (CCouplerSettingsPageModel* page : readOrder) {
    if (!page->IsPageUsed()) continue;
    page->SetArticleNo(identification.orderNumber);
    page->SetCplTable(table0, m_bIs32, m_bIsPFC);
    if (!page->SetEthTable(table100, m_bIs32, m_bIsPFC)) notLoaded.push_back(page->GetSection());
  }
  return notLoaded;
}

std::vector<CPageParameter*> CSettingsPages::Parameters() const {
  std::vector<CPageParameter*> parameters;
  for (const CCouplerSettingsPageModel* page : m_pages)
    for (const auto& parameter : page->Parameters()) parameters.push_back(parameter.get());
  return parameters;
}

CPageParameter* CSettingsPages::FindParameter(std::string_view key) const {
  const CCouplerSettingsPageModel* page = FindPage(SectionOf(key));
  return page ? page->FindParameter(key) : nullptr;
}

std::optional<ValidationFailure> CSettingsPages::Set(std::string_view key, std::string_view text) {
  CCouplerSettingsPageModel* page = FindPage(SectionOf(key));
  CPageParameter* parameter = page ? page->FindParameter(key) : nullptr;
  if (!parameter) return Refusal(key, "There is no parameter of this name.");
  if (!page->IsPageUsed() || !page->IsLoaded())
    return Refusal(key, "The connected device does not get the page of this parameter.");
  if (!parameter->Available()) return Refusal(key, "The connected device does not have this parameter.");
  if (!parameter->Editable()) return Refusal(key, "This parameter cannot be changed on the connected device.");

  if (auto failure = parameter->SetText(text)) return failure;
  if (CPageParameter* twin = LoadedTwinOf(key)) (void)twin->SetText(text);
  return std::nullopt;
}

CPageParameter* CSettingsPages::LoadedTwinOf(std::string_view key) const {
  for (const auto& [one, other] : kSharedSwitches) {
    const std::string_view twin = key == one ? other : key == other ? one : std::string_view();
    if (twin.empty()) continue;
    const CCouplerSettingsPageModel* page = FindPage(SectionOf(twin));
    return page->IsLoaded() ? page->FindParameter(twin) : nullptr;
  }
  return nullptr;
}

std::optional<ValidationFailure> CSettingsPages::Commit() {
  std::vector<CCouplerSettingsPageModel*> order = {&m_tcpip, &m_protocol, &m_modbus};
  if (m_bIs32) order.insert(order.end(), {&m_network, &m_ethernetIP, &m_sntp, &m_transmission});
  if (m_bIs32 && m_bIsPFC) order.push_back(&m_pfc);
  for (CCouplerSettingsPageModel* page : order)
    if (auto failure = page->CommitSettings()) return failure;
  return std::nullopt;
}

}  // namespace lanterna
