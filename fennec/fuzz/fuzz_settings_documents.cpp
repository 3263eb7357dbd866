// libFuzzer target for the settings documents: arbitrary text through the XML access helper and
// SetSettingsXML of the serial transport, the TCP/IP transport and the framed protocol.
//
// Input: byte 0 chooses the settings object (kObjects, modulo its size), the rest is the document.
//
// Checked beside the sanitizers: a text the helper cannot load is refused with false and changes
// nothing; a document that is taken sets every field to what the helper's reader gives for its
// attribute, and the object reports exactly that, through GetSettingsValue and through
// GetSettingsXML, which another object takes back unchanged.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "Common/ComError.h"
#include "Common/XMLDOMHelper.h"
#include "Communication/RS232Connection.h"
#include "Communication/RS232SettingsDocument.h"
#include "Communication/ServiceProtocol.h"
#include "Communication/ServiceProtocolDocument.h"
#include "Communication/SettingsFields.h"
#include "Communication/TCPIPConnection.h"
#include "Communication/TCPIPSettingsDocument.h"
#include "FuzzCheck.h"

namespace {

enum class Outcome { Refused, Taken, Thrown };

Outcome Apply(ORLA::ISettings& settings, const std::string& xml) {
  try {
    return settings.SetSettingsXML(xml) ? Outcome::Taken : Outcome::Refused;
  } catch (const std::string&) {
    return Outcome::Thrown;  // a number GenStrToNumber cannot read
  } catch (const CComError&) {
    return Outcome::Thrown;  // no element of the object's name
  }
}

// What the field must hold after the document was taken: the reader's result for its
// attribute, the value before as the default, in the form the object writes it.
template <class Settings>
std::string Expected(const fennec::SettingsField<Settings>& field, const CXMLElement& element,
                     const std::string& before) {
  return std::visit(
      fennec::detail::Overloaded{
          [&](std::string Settings::*) { return ReadTextAttribute(element, field.name, before); },
          [&](std::uint32_t Settings::*) {
            return std::to_string(ReadUInt32Attribute(element, field.name, static_cast<std::uint32_t>(std::stoul(before))));
          },
          [&](std::uint16_t Settings::*) {
            return std::to_string(ReadUInt16Attribute(element, field.name, static_cast<std::uint16_t>(std::stoul(before))));
          },
          [&](std::int16_t Settings::*) {
            return std::to_string(ReadInt16Attribute(element, field.name, static_cast<std::int16_t>(std::stoi(before))));
          },
          [&](bool Settings::*) {
            return std::string(ReadBoolAttribute(element, field.name, before == "true") ? "true" : "false");
          },
      },
      field.member);
}

template <class Settings>
void Check(const std::function<std::unique_ptr<ORLA::ISettings>()>& make, std::string_view elementName,
           fennec::FieldTable<Settings> fields, const std::string& xml) {
  CXMLDOMHelper document;
  const bool loads = document.LoadByString(xml);
  const CXMLElement element = document.SelectSingleElement(std::string(elementName));

  const std::unique_ptr<ORLA::ISettings> settings = make();
  const std::string before = settings->GetSettingsXML();
  std::vector<std::string> old;
  for (const fennec::SettingsField<Settings>& field : fields) old.push_back(settings->GetSettingsValue(field.name));
  const Outcome outcome = Apply(*settings, xml);
  (void)settings->GetSettingsString();

  if (!loads) {
    FuzzCheck(outcome == Outcome::Refused, "a text that does not load was not refused");
    FuzzCheck(settings->GetSettingsXML() == before, "a refused text changed the settings");
    return;
  }
  if (outcome != Outcome::Taken) return;
  FuzzCheck(!element.IsNull(), "a document without the element was taken");

  for (std::size_t i = 0; i < fields.size(); ++i) {
    const std::string expected = Expected(fields[i], element, old[i]);
    const std::string value = settings->GetSettingsValue(fields[i].name);
    if (value != expected)
      FuzzFail(std::string("the value of ") + fields[i].name + " is not what the document gave: '" + value +
               "' instead of '" + expected + "'");
  }
  const std::unique_ptr<ORLA::ISettings> fresh = make();
  const std::string written = settings->GetSettingsXML();
  FuzzCheck(Apply(*fresh, written) == Outcome::Taken, "the object's own document was not taken back");
  FuzzCheck(fresh->GetSettingsXML() == written, "the object's own document did not come back unchanged");
}

const std::function<void(const std::string&)> kObjects[] = {
    [](const std::string& xml) {
      Check<ORLA::tRS232Settings>([] { return std::make_unique<ORLA::CRS232Connection>(); },
                                  fennec::rs232::kElementName, fennec::rs232::SettingsFields(), xml);
    },
    [](const std::string& xml) {
      Check<ORLA::tTCPIPSettings>([] { return std::make_unique<ORLA::CTCPIPConnection>(); },
                                  fennec::tcpip::kElementName, fennec::tcpip::SettingsFields(), xml);
    },
    [](const std::string& xml) {
      Check<ORLA::tServiceProtocolSettings>([] { return std::make_unique<ORLA::CServiceProtocol>(nullptr); },
                                            fennec::framed::kElementName, fennec::framed::SettingsFields(), xml);
    },
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string xml(reinterpret_cast<const char*>(data) + 1, size - 1);
  kObjects[data[0] % std::size(kObjects)](xml);
  return 0;
}
