#pragma once

#include <string>
#include <string_view>

#include "Common/ComError.h"
#include "Common/XMLDOMHelper.h"
#include "Communication/SettingsFields.h"
#include "Communication/SettingsReports.h"

// The settings document of an object whose settings are a field table: built, parsed and
// queried the same way by every settings object, with the same reports. className names the
// object in the reports ("CRS232Connection"), element is the document's element ("RS232").
namespace fennec {

// Reports a failure of the document layer or of a number and passes it on to the caller.
template <class Parse>
auto ReportedParse(std::string_view className, std::string_view function, Parse parse) {
  try {
    return parse();
  } catch (const CComError& error) {
    ReportComError(className, function, error);
    throw;
  } catch (...) {
    ReportUnknownException(className, function);
    throw;
  }
}

// "<?xml version='1.0'?><ELEMENT name='value' ... />" in table order.
template <class Settings>
std::string SettingsDocument(std::string_view element, FieldTable<Settings> fields, const Settings& settings) {
  return "<?xml version='1.0'?><" + std::string(element) + " " + SettingsFieldsAsAttributes(fields, settings) + "/>";
}

// Reads the first element so named into the fields; false after a report when the text is no
// document. A missing element (CComError) or a number that cannot be parsed (std::string) is
// reported and rethrown, the fields read before it staying applied.
template <class Settings>
bool ParseSettingsDocument(std::string_view className, std::string_view element, const std::string& xml,
                           FieldTable<Settings> fields, Settings& settings) {
  CXMLDOMHelper document;
  if (!document.LoadByString(xml)) {
    ReportDocumentNotLoaded(className, "tSetSettingsXML( )", xml);
    return false;
  }
  return ReportedParse(className, "SetSettingsXML( )", [&] {
    ReadSettingsFields(document.SelectSingleElement(std::string(element)), fields, settings);
    return true;
  });
}

// One attribute of the object's own document, or "ERROR" when it has none so named.
std::string SettingsDocumentValue(std::string_view className, std::string_view element, const std::string& document,
                                  const char* name);

}  // namespace fennec
