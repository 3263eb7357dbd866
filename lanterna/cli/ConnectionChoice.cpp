#include "cli/ConnectionChoice.h"

#include <charconv>

#include "Platform/SerialDeviceName.h"
#include "Platform/TextCase.h"
#include "app/CommandLine.h"
#include "cli/CliError.h"

namespace lanterna::cli {

namespace {

constexpr const char* kAcceptedConnections =
    "--connection takes RS232:<device> (RS232:ttyUSB0, RS232:/dev/ttyS0), TCPIP:<host>[:<port>] "
    "(TCPIP:192.168.1.111, TCPIP:192.168.1.111:6626), SIM, SIM:<profile>, SIMTCP or SIMTCP:<profile>";

// "SIM", "SIM:<profile>", "SIMTCP" or "SIMTCP:<profile>"; nullopt for anything else.
std::optional<ConnectionChoice> SimulatorChoice(const std::string& value) {
  for (const auto& [name, kind] : {std::pair{std::string_view("SIMTCP"), ConnectionChoice::Kind::NetworkSimulator},
                                   std::pair{std::string_view("SIM"), ConnectionChoice::Kind::Simulator}}) {
    if (fennec::EqualNoCase(value, name)) return ConnectionChoice{kind, "", std::nullopt, kDefaultSimulatorProfile};
    if (value.size() > name.size() + 1 && fennec::StartsWithNoCase(value, name) && value[name.size()] == ':')
      return ConnectionChoice{kind, "", std::nullopt, value.substr(name.size() + 1)};
  }
  return std::nullopt;
}

std::uint16_t ParsePort(const std::string& text, const std::string& value) {
  unsigned port = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), port);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || port < 1 || port > 65535)
    throw CBadInput("the port of " + value + " must be a number from 1 to 65535, not '" + text + "'");
  return static_cast<std::uint16_t>(port);
}

// "TCPIP:<host>[:<port>]": the host as the connection's IP-Address, the port when given.
ConnectionChoice NetworkChoice(const std::string& value) {
  const std::string address = value.substr(6);
  const auto colon = address.find(':');
  const std::string host = address.substr(0, colon);
  if (host.empty()) throw CBadInput("TCPIP: needs a host, e.g. TCPIP:192.168.1.111 or TCPIP:192.168.1.111:6626");
  ConnectionChoice choice{ConnectionChoice::Kind::Network, host, std::nullopt, ""};
  if (colon != std::string::npos) choice.port = ParsePort(address.substr(colon + 1), value);
  return choice;
}

}  // namespace

std::string DescribePort(const ConnectionChoice& choice, const std::optional<std::string>& storedDevice,
                         const std::string& address) {
  const std::string path = fennec::platform::SerialDevicePath(address);
  const std::string name = path == address ? address : address + " (" + path + ")";
  switch (choice.kind) {
    case ConnectionChoice::Kind::Serial: return name + ", from --connection";
    case ConnectionChoice::Kind::Network: return address + ", from --connection";
    case ConnectionChoice::Kind::Simulator: return path + ", the simulated " + choice.profile + " of this process";
    case ConnectionChoice::Kind::NetworkSimulator:
      return address + ", the simulated " + choice.profile + " of this process";
    case ConnectionChoice::Kind::Stored: break;
  }
  if (storedDevice) return name + ", the stored port; choose another with --connection or store one with 'port set'";
  return name + ", the default; choose one with --connection or store one with 'port set'";
}

ConnectionChoice ParseConnection(const std::optional<std::string>& value) {
  if (!value) return {};
  if (auto simulator = SimulatorChoice(*value)) return *simulator;
  if (fennec::StartsWithNoCase(*value, "TCPIP:")) return NetworkChoice(*value);

  const StartupOptions startup = ParseCommandLine({"/Connection:" + *value});
  if (!startup.messages.empty()) throw CBadInput(startup.messages.front() + "\n" + kAcceptedConnections);
  if (startup.commandLineDevice.empty()) throw CBadInput("RS232: needs a device, e.g. RS232:ttyUSB0");
  return {ConnectionChoice::Kind::Serial, startup.commandLineDevice, std::nullopt, ""};
}

}  // namespace lanterna::cli
