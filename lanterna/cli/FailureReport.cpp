#include "cli/FailureReport.h"

#include <cstdio>
#include <system_error>

#include "Common/ErrorCodes.h"
#include "Platform/LastError.h"

namespace lanterna::cli {

namespace {

std::string Indented(const std::string& text, const std::string& indent) {
  std::string result = indent;
  for (char c : text) {
    result += c;
    if (c == '\n') result += indent;
  }
  return result;
}

// The catalogue's texts end their lines as the platform it was written for does.
std::string WithLineFeeds(std::string text) {
  for (auto at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) text.erase(at, 1);
  return text;
}

}  // namespace

std::string HexCode(std::uint32_t code) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", code);
  return text;
}

tErrorMessage CatalogueMessage(std::uint32_t code, const CatalogueDetails& details) {
  // The catalogue reads the thread's last error code.
  fennec::platform::SetThreadLastError(code);
  tErrorMessage message;
  CFennecErrorHandler().Evaluate(&message, details.portName.empty() ? nullptr : details.portName.c_str(), 0,
                                 details.table, details.registerNumber,
                                 details.serviceName.empty() ? nullptr : details.serviceName.c_str());
  for (std::string* text : {&message.strTitle, &message.strText, &message.strDetail}) *text = WithLineFeeds(*text);
  return message;
}

std::string FailureReport(const CliFailure& failure) {
  const std::uint32_t code = failure.code;
  const std::string& portAdvice = failure.advice;
  std::string report =
      "lanterna-cli: " + (failure.text.empty() ? std::string("the action failed") : failure.text) + "\n";
  if (code != 0) {
    const tErrorMessage message = CatalogueMessage(code, failure.details);
    report += "  " + message.strTitle + " (" + HexCode(code) + "): " + message.strText + "\n";
    if (!message.strDetail.empty()) report += Indented(message.strDetail, "    ") + "\n";
    // The catalogue has no group for network codes: their low word is the system's error
    // number, whose text stands in where the connection has no advice of its own.
    if ((code & 0xFFFF0000u) == fennec::kGroupSocket && portAdvice.empty())
      report += "    The system says: " + std::system_category().message(static_cast<int>(code & 0xFFFFu)) + ".\n";
  }
  if (!portAdvice.empty()) report += Indented(portAdvice, "  ") + "\n";
  if (!failure.port.empty()) report += "  The port: " + failure.port + "\n";
  return report;
}

}  // namespace lanterna::cli
