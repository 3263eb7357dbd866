#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/IniFile.h"

namespace lanterna {

class CCouplerSettingsPageModel;

// A numeric parameter: its value and the range the INI file gives it.
struct tParameterRecord {
  std::int32_t value = 0;
  std::int32_t min = 0;
  std::int32_t max = 0;
  std::int32_t def = 0;
};

struct tBuiltInRange {
  std::int32_t min;
  std::int32_t max;
  std::int32_t def;
};

// min, max and def from "<name>Min", "<name>Max", "<name>Def" of the section, the built-in
// values where a key is missing; the value starts at def.
tParameterRecord LoadParameterRecord(const CIniFile& ini, std::string_view section, std::string_view name,
                                     tBuiltInRange builtIn);

// What a page shows when it refuses a value: the balloon's title and text, and whose it is.
struct ValidationFailure {
  std::string key;
  std::string title;
  std::string message;
  bool operator==(const ValidationFailure&) const = default;
};

enum class ParameterKind { Number, Switch, Address, List, Text };

// Registers are written "table:register", "table:first-last" or with the bits, "100:0 bit 3".
struct ParameterInfo {
  std::string key;             // "SECTION.Name"
  std::string title;           // the field's label, title of its balloon
  std::string registers32;     // where the 32-bit generation keeps it; empty: it has none
  std::string registersOlder;  // the same for older devices
};

// One editable value of a page, reachable by its key; bound to a member of its page.
class CPageParameter {
 public:
  using Condition = std::function<bool()>;

  CPageParameter(const CCouplerSettingsPageModel& page, ParameterKind kind, ParameterInfo info);
  virtual ~CPageParameter() = default;
  CPageParameter(const CPageParameter&) = delete;
  CPageParameter& operator=(const CPageParameter&) = delete;

  const std::string& Key() const { return m_info.key; }
  const std::string& Title() const { return m_info.title; }
  ParameterKind Kind() const { return m_kind; }
  const std::string& Registers(bool is32) const { return is32 ? m_info.registers32 : m_info.registersOlder; }

  // The connected generation has it; by default where it has registers for it.
  bool Available() const;
  // A user can change it on the connected device at all.
  bool Editable() const;
  // Its field takes input now (it may depend on other values of the page).
  bool Enabled() const;

  CPageParameter& AvailableWhen(Condition condition);
  CPageParameter& EditableWhen(Condition condition);
  CPageParameter& EnabledWhen(Condition condition);

  // The text the page's field shows; empty where the generation has no such field.
  std::string Text() const { return Available() ? ValueText() : std::string(); }
  // Takes a text as the page's field takes it; the failure the page shows for it, if any.
  virtual std::optional<ValidationFailure> SetText(std::string_view text) = 0;
  // The field shows its member again: a text that did not parse is forgotten.
  virtual void ForgetText() {}

 protected:
  virtual std::string ValueText() const = 0;
  ValidationFailure Failure(std::string message) const { return {Key(), Title(), std::move(message)}; }
  const CCouplerSettingsPageModel& Page() const { return m_page; }

 private:
  const CCouplerSettingsPageModel& m_page;
  ParameterKind m_kind;
  ParameterInfo m_info;
  Condition m_available, m_editable, m_enabled;
};

// An edit field with a type code and a range; optionally a partner whose present value is
// taken off the max (a count and its offset share one range).
class CNumberParameter : public CPageParameter {
 public:
  CNumberParameter(const CCouplerSettingsPageModel& page, ParameterInfo info, tParameterRecord& record,
                   int typeCode);

  CNumberParameter& SharesRangeWith(const tParameterRecord& partner);

  const tParameterRecord& Record() const { return m_record; }
  int TypeCode() const { return m_nType; }
  // The range the field checks: the INI's, the partner's value taken off the max, and within
  // what the field's register holds (a word: 0 to 65535), so that no value is taken that the
  // register would keep as another.
  std::int32_t EffectiveMin() const;
  std::int32_t EffectiveMax() const;
  bool InRange(std::int32_t value) const;

  // The in-range rule: the register is taken, unchanged, only while the present value is in range.
  void ReadInRange(std::uint16_t word);
  // Fails while the value is out of range or the last text did not parse.
  std::optional<ValidationFailure> Validate() const;

  // A text that parses is taken even out of range, as the page's field holds it; the page then
  // refuses to be committed until it is corrected.
  std::optional<ValidationFailure> SetText(std::string_view text) override;
  void ForgetText() override { m_bTextInvalid = false; }

 protected:
  std::string ValueText() const override;

 private:
  ValidationFailure RangeFailure() const;

  tParameterRecord& m_record;
  int m_nType;
  const tParameterRecord* m_partner = nullptr;
  bool m_bTextInvalid = false;
};

// A check box: 0 off, anything else on (some pages keep a whole register in it).
class CSwitchParameter : public CPageParameter {
 public:
  CSwitchParameter(const CCouplerSettingsPageModel& page, ParameterInfo info, std::uint32_t& value);
  std::optional<ValidationFailure> SetText(std::string_view text) override;

 protected:
  std::string ValueText() const override { return m_value != 0 ? "1" : "0"; }

 private:
  std::uint32_t& m_value;
};

// An IP address field.
class CAddressParameter : public CPageParameter {
 public:
  CAddressParameter(const CCouplerSettingsPageModel& page, ParameterInfo info, std::uint32_t& address);
  std::optional<ValidationFailure> SetText(std::string_view text) override;

 protected:
  std::string ValueText() const override;

 private:
  std::uint32_t& m_address;
};

// A drop-down list: the member is the selected index, -1 for none; texts are the items
// without their leading blanks.
class CListParameter : public CPageParameter {
 public:
  CListParameter(const CCouplerSettingsPageModel& page, ParameterInfo info, std::int32_t& index,
                 const std::vector<std::string>& items);
  const std::vector<std::string>& Items() const { return m_items; }
  std::optional<ValidationFailure> SetText(std::string_view text) override;

 protected:
  std::string ValueText() const override;

 private:
  std::int32_t& m_index;
  const std::vector<std::string>& m_items;
};

// A text field with a length limit.
class CTextParameter : public CPageParameter {
 public:
  CTextParameter(const CCouplerSettingsPageModel& page, ParameterInfo info, std::string& text,
                 std::size_t maxLength);
  std::size_t MaxLength() const { return m_nMaxLength; }
  std::optional<ValidationFailure> SetText(std::string_view text) override;

 protected:
  std::string ValueText() const override { return m_text; }

 private:
  std::string& m_text;
  std::size_t m_nMaxLength;
};

}  // namespace lanterna
