#include "cli/ConnectionChoice.h"

#include "Platform/TextCase.h"
#include "app/CommandLine.h"
#include "cli/CliError.h"

namespace lanterna::cli {

ConnectionChoice ParseConnection(const std::optional<std::string>& value) {
  if (!value) return {};
  if (fennec::EqualNoCase(*value, "SIM")) return {ConnectionChoice::Kind::Simulator, "", kDefaultSimulatorProfile};
  if (value->size() > 4 && fennec::EqualNoCase(value->substr(0, 4), "SIM:"))
    return {ConnectionChoice::Kind::Simulator, "", value->substr(4)};

  const StartupOptions startup = ParseCommandLine({"/Connection:" + *value});
  if (!startup.messages.empty()) throw CBadInput(startup.messages.front());
  if (startup.commandLineDevice.empty()) throw CBadInput("RS232: needs a device, e.g. RS232:ttyUSB0");
  return {ConnectionChoice::Kind::Serial, startup.commandLineDevice, ""};
}

}  // namespace lanterna::cli
