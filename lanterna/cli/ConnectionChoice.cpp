#include "cli/ConnectionChoice.h"

#include "Platform/SerialDeviceName.h"
#include "Platform/TextCase.h"
#include "app/CommandLine.h"
#include "cli/CliError.h"

namespace lanterna::cli {

namespace {

constexpr const char* kAcceptedConnections =
    "--connection takes RS232:<device> (RS232:ttyUSB0, RS232:/dev/ttyS0), SIM or SIM:<profile>";

}  // namespace

std::string DescribePort(const ConnectionChoice& choice, const std::optional<std::string>& storedDevice,
                         const std::string& device) {
  const std::string path = fennec::platform::SerialDevicePath(device);
  const std::string name = path == device ? device : device + " (" + path + ")";
  switch (choice.kind) {
    case ConnectionChoice::Kind::Serial: return name + ", from --connection";
    case ConnectionChoice::Kind::Simulator: return path + ", the simulated " + choice.profile + " of this process";
    case ConnectionChoice::Kind::Stored: break;
  }
  if (storedDevice) return name + ", the stored port; choose another with --connection or store one with 'port set'";
  return name + ", the default; choose one with --connection or store one with 'port set'";
}

ConnectionChoice ParseConnection(const std::optional<std::string>& value) {
  if (!value) return {};
  if (fennec::EqualNoCase(*value, "SIM")) return {ConnectionChoice::Kind::Simulator, "", kDefaultSimulatorProfile};
  if (value->size() > 4 && fennec::EqualNoCase(value->substr(0, 4), "SIM:"))
    return {ConnectionChoice::Kind::Simulator, "", value->substr(4)};

  const StartupOptions startup = ParseCommandLine({"/Connection:" + *value});
  if (!startup.messages.empty()) throw CBadInput(startup.messages.front() + "\n" + kAcceptedConnections);
  if (startup.commandLineDevice.empty()) throw CBadInput("RS232: needs a device, e.g. RS232:ttyUSB0");
  return {ConnectionChoice::Kind::Serial, startup.commandLineDevice, ""};
}

}  // namespace lanterna::cli
