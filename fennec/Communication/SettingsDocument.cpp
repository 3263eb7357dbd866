#include "Communication/SettingsDocument.h"

#include "Platform/Assert.h"

namespace fennec {

std::string SettingsDocumentValue(std::string_view className, std::string_view element, const std::string& document,
                                  const char* name) {
  if (!FENNEC_ASSERT(name != nullptr)) return "ERROR";
  const std::string function = "GetSettingsValue(" + std::string(name) + " )";
  CXMLDOMHelper parsed;
  if (!parsed.LoadByString(document)) {
    ReportOwnDocumentNotLoaded(className, function);
    return "ERROR";
  }
  return ReportedParse(className, function, [&] {
    return parsed.SelectSingleElement(std::string(element)).GetAttribute(name).value_or("ERROR");
  });
}

}  // namespace fennec
