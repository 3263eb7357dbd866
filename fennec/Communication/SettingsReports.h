#pragma once

#include <string>
#include <string_view>

class CComError;

namespace fennec {

// The debug reports of the settings parsers. className names the settings object
// ("CRS232Connection"), function the operation as the report shows it ("SetSettingsXML( )").

// A settings document that the parser could not load, with its text.
void ReportDocumentNotLoaded(std::string_view className, std::string_view function, std::string_view xml);
// The object's own document could not be loaded back (GetSettingsValue).
void ReportOwnDocumentNotLoaded(std::string_view className, std::string_view function);
// A failure of the document layer, such as a missing element.
void ReportComError(std::string_view className, std::string_view function, const CComError& error);
// Any other failure, such as a number that cannot be parsed.
void ReportUnknownException(std::string_view className, std::string_view function);
// An INFO block with the class, function and message lines given whole; returns its text.
std::string ReportInfo(std::string_view className, std::string_view functionLine, std::string_view messageLine);
// Settings in an XML file, not offered by the settings objects: the INFO block of
// LoadSettingsXML or SaveSettingsXML with the path given.
void ReportLoadSettingsXMLNotImplemented(std::string_view className, std::string_view path);
void ReportSaveSettingsXMLNotImplemented(std::string_view className, std::string_view path);

}  // namespace fennec
