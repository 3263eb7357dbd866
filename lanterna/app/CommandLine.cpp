#include "app/CommandLine.h"

#include <string_view>

#include "Platform/TextCase.h"

namespace lanterna {

namespace {

constexpr std::string_view kConnection = "/Connection:";
constexpr std::string_view kRS232 = "RS232:";

// Only the exact text "RS232:" is removed, wherever it stands: "rs232:COM2" keeps its prefix.
std::string RemoveEveryRS232(std::string value) {
  for (auto at = value.find(kRS232); at != std::string::npos; at = value.find(kRS232, at))
    value.erase(at, kRS232.size());
  return value;
}

void ApplyConnection(std::string_view value, StartupOptions& options) {
  if (fennec::StartsWithNoCase(value, kRS232))
    options.commandLineDevice = RemoveEveryRS232(std::string(value));
  else if (fennec::StartsWithNoCase(value, "TCPIP:"))
    options.messages.emplace_back("TCP/IP communication ist not supported!");
  else
    options.messages.emplace_back("Invalid communication settings!");
}

}  // namespace

StartupOptions ParseCommandLine(const std::vector<std::string>& arguments) {
  StartupOptions options;
  for (const std::string& argument : arguments) {
    if (fennec::EqualNoCase(argument, "/DEBUG")) options.debug = true;
    if (fennec::StartsWithNoCase(argument, kConnection))
      ApplyConnection(std::string_view(argument).substr(kConnection.size()), options);
    if (fennec::EqualNoCase(argument, "/TOPMOST")) options.topmost = true;
  }
  return options;
}

}  // namespace lanterna
