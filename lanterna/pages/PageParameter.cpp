#include "pages/PageParameter.h"

#include <algorithm>

#include "Platform/TextCase.h"
#include "pages/CouplerSettingsPageModel.h"
#include "base/Ipv4Address.h"
#include "pages/NumberText.h"

namespace lanterna {

tParameterRecord LoadParameterRecord(const CIniFile& ini, std::string_view section, std::string_view name,
                                     tBuiltInRange builtIn) {
  const std::string key(name);
  tParameterRecord record;
  record.min = ini.GetInt(section, key + "Min", builtIn.min);
  record.max = ini.GetInt(section, key + "Max", builtIn.max);
  record.def = ini.GetInt(section, key + "Def", builtIn.def);
  record.value = record.def;
  return record;
}

CPageParameter::CPageParameter(const CCouplerSettingsPageModel& page, ParameterKind kind, ParameterInfo info)
    : m_page(page), m_kind(kind), m_info(std::move(info)) {}

bool CPageParameter::Available() const {
  return m_available ? m_available() : !Registers(m_page.Is32()).empty();
}

bool CPageParameter::Editable() const { return m_editable ? m_editable() : Available(); }

bool CPageParameter::Enabled() const { return Editable() && (!m_enabled || m_enabled()); }

CPageParameter& CPageParameter::AvailableWhen(Condition condition) {
  m_available = std::move(condition);
  return *this;
}

CPageParameter& CPageParameter::EditableWhen(Condition condition) {
  m_editable = std::move(condition);
  return *this;
}

CPageParameter& CPageParameter::EnabledWhen(Condition condition) {
  m_enabled = std::move(condition);
  return *this;
}

CNumberParameter::CNumberParameter(const CCouplerSettingsPageModel& page, ParameterInfo info,
                                   tParameterRecord& record, int typeCode)
    : CPageParameter(page, ParameterKind::Number, std::move(info)), m_record(record), m_nType(typeCode) {}

CNumberParameter& CNumberParameter::SharesRangeWith(const tParameterRecord& partner) {
  m_partner = &partner;
  return *this;
}

namespace {

// The values a field's register holds: a double word all 32 bits, every other field a word.
struct Capacity {
  std::int32_t min;
  std::int32_t max;
};

Capacity CapacityOf(int typeCode) {
  if (typeCode == kTypeHexDoubleWord) return {INT32_MIN, INT32_MAX};
  return {0, 0xFFFF};
}

}  // namespace

std::int32_t CNumberParameter::EffectiveMin() const { return std::max(m_record.min, CapacityOf(m_nType).min); }

std::int32_t CNumberParameter::EffectiveMax() const {
  // Widened so that odd INI values cannot overflow the subtraction.
  const std::int64_t max = std::int64_t{m_record.max} - (m_partner ? m_partner->value : 0);
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(max, INT32_MIN, CapacityOf(m_nType).max));
}

bool CNumberParameter::InRange(std::int32_t value) const { return EffectiveMin() <= value && value <= EffectiveMax(); }

void CNumberParameter::ReadInRange(std::uint16_t word) {
  if (InRange(m_record.value)) m_record.value = word;
}

std::optional<ValidationFailure> CNumberParameter::Validate() const {
  if (m_bTextInvalid || !InRange(m_record.value)) return RangeFailure();
  return std::nullopt;
}

std::optional<ValidationFailure> CNumberParameter::SetText(std::string_view text) {
  const std::optional<std::int32_t> value = ParseEditText(text, m_nType);
  m_bTextInvalid = !value;
  if (value) m_record.value = *value;
  return Validate();
}

std::string CNumberParameter::ValueText() const { return EditText(m_nType, m_record.value); }

ValidationFailure CNumberParameter::RangeFailure() const {
  return Failure(RangeMessage(m_nType, EffectiveMin(), EffectiveMax()));
}

CSwitchParameter::CSwitchParameter(const CCouplerSettingsPageModel& page, ParameterInfo info, std::uint32_t& value)
    : CPageParameter(page, ParameterKind::Switch, std::move(info)), m_value(value) {}

std::optional<ValidationFailure> CSwitchParameter::SetText(std::string_view text) {
  if (text == "1" || fennec::EqualNoCase(text, "true")) {
    m_value = 1;
  } else if (text == "0" || fennec::EqualNoCase(text, "false")) {
    m_value = 0;
  } else {
    return Failure("Please enter 1 (on) or 0 (off).");
  }
  return std::nullopt;
}

CAddressParameter::CAddressParameter(const CCouplerSettingsPageModel& page, ParameterInfo info,
                                     std::uint32_t& address)
    : CPageParameter(page, ParameterKind::Address, std::move(info)), m_address(address) {}

std::optional<ValidationFailure> CAddressParameter::SetText(std::string_view text) {
  const std::optional<std::uint32_t> address = ParseAddress(text);
  if (!address) return Failure("Please enter an IP address as four numbers from 0 to 255, like 192.168.1.1.");
  m_address = *address;
  return std::nullopt;
}

std::string CAddressParameter::ValueText() const { return AddressToDotted(m_address); }

CListParameter::CListParameter(const CCouplerSettingsPageModel& page, ParameterInfo info, std::int32_t& index,
                               const std::vector<std::string>& items)
    : CPageParameter(page, ParameterKind::List, std::move(info)), m_index(index), m_items(items) {}

std::optional<ValidationFailure> CListParameter::SetText(std::string_view text) {
  const std::string_view wanted = fennec::Trimmed(text, " ");
  const auto found = std::find_if(m_items.begin(), m_items.end(), [wanted](const std::string& item) {
    return fennec::EqualNoCase(fennec::Trimmed(item, " "), wanted);
  });
  if (found == m_items.end()) {
    std::string choices;
    for (const std::string& item : m_items) choices += (choices.empty() ? "" : ", ") + std::string(fennec::Trimmed(item, " "));
    return Failure("Please choose one of: " + choices + ".");
  }
  m_index = static_cast<std::int32_t>(found - m_items.begin());
  return std::nullopt;
}

std::string CListParameter::ValueText() const {
  if (m_index < 0 || static_cast<std::size_t>(m_index) >= m_items.size()) return {};
  return std::string(fennec::Trimmed(m_items[static_cast<std::size_t>(m_index)], " "));
}

CTextParameter::CTextParameter(const CCouplerSettingsPageModel& page, ParameterInfo info, std::string& text,
                               std::size_t maxLength)
    : CPageParameter(page, ParameterKind::Text, std::move(info)), m_text(text), m_nMaxLength(maxLength) {}

std::optional<ValidationFailure> CTextParameter::SetText(std::string_view text) {
  if (text.size() > m_nMaxLength)
    return Failure("Please enter no more than " + std::to_string(m_nMaxLength) + " characters.");
  // The device keeps the text zero-terminated: a zero inside it would cut it short.
  if (text.find('\0') != std::string_view::npos) return Failure("The text must not contain a zero character.");
  m_text = text;
  return std::nullopt;
}

}  // namespace lanterna
