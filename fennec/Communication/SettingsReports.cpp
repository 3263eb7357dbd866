#include "Communication/SettingsReports.h"

#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <string>

#include "Common/ComError.h"
#include "Platform/DebugOutput.h"

namespace fennec {

namespace {

constexpr std::string_view kErrorHead = "\n############################# ERROR #############################\n";
constexpr std::string_view kErrorFoot = "\n#################################################################\n\n";
constexpr std::string_view kIndent = "###             ";

void WriteErrorReport(std::string_view className, std::string_view function,
                      std::initializer_list<std::string_view> errorPart) {
  std::string report(kErrorHead);
  report += "###  Class:     ";
  report += className;
  report += "\n###  Function:  ";
  report += function;
  report += "\n";
  for (std::string_view piece : errorPart) report += piece;
  report += kErrorFoot;
  platform::DebugOutput(std::string_view(report));
}

std::string Hex(std::uint32_t code) {
  char text[9] = {};
  std::snprintf(text, sizeof text, "%08X", code);
  return text;
}

// The system's text for the results the document layer produces.
std::string_view Meaning(std::uint32_t code) { return code == CComError::kInvalidPointer ? "Invalid pointer" : ""; }

}  // namespace

void ReportDocumentNotLoaded(std::string_view className, std::string_view function, std::string_view xml) {
  WriteErrorReport(className, function, {"###  Error:     xmlDOMHelper.LoadByString( ) failed for\n", kIndent, xml});
}

void ReportOwnDocumentNotLoaded(std::string_view className, std::string_view function) {
  WriteErrorReport(className, function, {"###  Error:     xmlDOMHelper.LoadByString( ) failed!"});
}

void ReportComError(std::string_view className, std::string_view function, const CComError& error) {
  std::string part = "###  Error:     _com_error\n" + std::string(kIndent) + "Code    = 0x" + Hex(error.Error());
  if (const std::string_view meaning = Meaning(error.Error()); !meaning.empty())
    part += "\n" + std::string(kIndent) + "Meaning = " + std::string(meaning);
  if (!error.Description().empty()) part += "\n" + std::string(kIndent) + "Descr.  = " + error.Description();
  WriteErrorReport(className, function, {part});
}

void ReportUnknownException(std::string_view className, std::string_view function) {
  WriteErrorReport(className, function, {"###  Error:     Unknown Exception!"});
}

std::string ReportInfo(std::string_view className, std::string_view functionLine, std::string_view messageLine) {
  std::string block = "\n*************************** INFO ****************************\n  Class:\t\t";
  block += className;
  block += "\n";
  block += functionLine;
  block += messageLine;
  block += "*************************************************************\n\n";
  platform::DebugOutput(std::string_view(block));
  return block;
}

void ReportLoadSettingsXMLNotImplemented(std::string_view className, std::string_view path) {
  ReportInfo(className, "  Function:\tLoadSettingsXML(" + std::string(path) + " )\n",
             "  Message:\tLoading settings from XML-File not yet implemented!\n");
}

void ReportSaveSettingsXMLNotImplemented(std::string_view className, std::string_view path) {
  ReportInfo(className, "  Function:\tSaveSettingsXML(" + std::string(path) + " )\n",
             "  Message:\tSaving settings to XML-File not yet implemented!\n");
}

}  // namespace fennec
