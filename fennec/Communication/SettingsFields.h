#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <type_traits>
#include <variant>

#include "Common/RegistyEx.h"
#include "Common/XMLDOMHelper.h"

namespace fennec {

// One setting of a settings object: its name (the XML attribute and the registry value) and
// the field that holds it. The kind of field decides how it is read, written and stored.
template <class Settings>
struct SettingsField {
  const char* name;
  std::variant<std::string Settings::*, std::uint32_t Settings::*, std::uint16_t Settings::*, std::int16_t Settings::*,
               bool Settings::*>
      member;
};

// Settings is deduced from the settings argument, so a std::array of fields converts.
template <class Settings>
using FieldTable = std::type_identity_t<std::span<const SettingsField<Settings>>>;

namespace detail {

template <class... Handlers>
struct Overloaded : Handlers... {
  using Handlers::operator()...;
};
template <class... Handlers>
Overloaded(Handlers...) -> Overloaded<Handlers...>;

// Values go between single quotes; a device name with a quote or an ampersand must not
// break the document. The parser makes blanks of tabs and line ends written as they are, so
// these go as references.
inline std::string EscapeAttribute(const std::string& text) {
  std::string escaped;
  for (char c : text) {
    switch (c) {
      case '&': escaped += "&amp;"; break;
      case '<': escaped += "&lt;"; break;
      case '\'': escaped += "&apos;"; break;
      case '"': escaped += "&quot;"; break;
      case '\t': escaped += "&#9;"; break;
      case '\n': escaped += "&#10;"; break;
      case '\r': escaped += "&#13;"; break;
      default: escaped += c;
    }
  }
  return escaped;
}

}  // namespace detail

// Reads the attributes in table order; an absent attribute leaves its field as it is. A
// failure (CComError, or the std::string of an unparsable number) leaves the fields read
// before it applied.
template <class Settings>
void ReadSettingsFields(const CXMLElement& element, FieldTable<Settings> fields, Settings& settings) {
  for (const SettingsField<Settings>& field : fields) {
    std::visit(detail::Overloaded{
                   [&](std::string Settings::*m) { settings.*m = ReadTextAttribute(element, field.name, settings.*m); },
                   [&](std::uint32_t Settings::*m) { settings.*m = ReadUInt32Attribute(element, field.name, settings.*m); },
                   [&](std::uint16_t Settings::*m) { settings.*m = ReadUInt16Attribute(element, field.name, settings.*m); },
                   [&](std::int16_t Settings::*m) { settings.*m = ReadInt16Attribute(element, field.name, settings.*m); },
                   [&](bool Settings::*m) { settings.*m = ReadBoolAttribute(element, field.name, settings.*m); },
               },
               field.member);
  }
}

// "name='value' " for every field in table order: numbers in decimal, booleans as true/false.
template <class Settings>
std::string SettingsFieldsAsAttributes(FieldTable<Settings> fields, const Settings& settings) {
  std::string attributes;
  for (const SettingsField<Settings>& field : fields) {
    const std::string value = std::visit(
        detail::Overloaded{
            [&](std::string Settings::*m) { return detail::EscapeAttribute(settings.*m); },
            [&](std::uint32_t Settings::*m) { return std::to_string(settings.*m); },
            [&](std::uint16_t Settings::*m) { return std::to_string(settings.*m); },
            [&](std::int16_t Settings::*m) { return std::to_string(settings.*m); },
            [&](bool Settings::*m) { return std::string(settings.*m ? "true" : "false"); },
        },
        field.member);
    attributes += std::string(field.name) + "='" + value + "' ";
  }
  return attributes;
}

// Loads each field from the value of its name below subKey; a missing value, or one of another
// type, keeps the field. 16-bit fields and booleans take the low 16 bits of a 32-bit value.
template <class Settings>
void LoadSettingsFields(const cutils::CRegistryEx& registry, const std::string& subKey,
                        FieldTable<Settings> fields, Settings& settings) {
  for (const SettingsField<Settings>& field : fields) {
    std::visit(detail::Overloaded{
                   [&](std::string Settings::*m) { settings.*m = registry.ReadString(subKey, field.name, settings.*m); },
                   [&](std::uint32_t Settings::*m) { settings.*m = registry.ReadDWord(subKey, field.name, settings.*m); },
                   [&](std::uint16_t Settings::*m) { settings.*m = registry.ReadWord(subKey, field.name, settings.*m); },
                   [&](std::int16_t Settings::*m) {
                     settings.*m = static_cast<std::int16_t>(
                         registry.ReadWord(subKey, field.name, static_cast<std::uint16_t>(settings.*m)));
                   },
                   [&](bool Settings::*m) { settings.*m = registry.ReadWord(subKey, field.name, settings.*m ? 1 : 0) != 0; },
               },
               field.member);
  }
}

// Text fields as string values, numbers (signed ones sign-extended) and booleans (0/1) as 32-bit
// values. A value that
// cannot be written is passed by: the settings objects do not report single values.
template <class Settings>
void SaveSettingsFields(cutils::CRegistryEx& registry, const std::string& subKey,
                        FieldTable<Settings> fields, const Settings& settings) {
  for (const SettingsField<Settings>& field : fields) {
    std::visit(detail::Overloaded{
                   [&](std::string Settings::*m) { registry.WriteString(subKey, field.name, settings.*m); },
                   [&](std::uint32_t Settings::*m) { registry.WriteDWord(subKey, field.name, settings.*m); },
                   [&](std::uint16_t Settings::*m) { registry.WriteDWord(subKey, field.name, settings.*m); },
                   [&](std::int16_t Settings::*m) {
                     registry.WriteDWord(subKey, field.name, static_cast<std::uint32_t>(std::int32_t{settings.*m}));
                   },
                   [&](bool Settings::*m) { registry.WriteDWord(subKey, field.name, settings.*m ? 1 : 0); },
               },
               field.member);
  }
}

}  // namespace fennec
