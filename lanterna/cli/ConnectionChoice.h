#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace lanterna::cli {

// Where the command's device is: the program's stored port, a named serial device, a device on
// the network, or the device simulator started in this process on a pseudo-terminal or on TCP.
struct ConnectionChoice {
  enum class Kind { Stored, Serial, Simulator, Network, NetworkSimulator };
  Kind kind = Kind::Stored;
  std::string device;                // Serial: the device as "RS232:" named it; Network: the host
  std::optional<std::uint16_t> port;  // Network: the port, when given
  std::string profile;               // the simulators: the profile's name

  bool IsNetwork() const { return kind == Kind::Network || kind == Kind::NetworkSimulator; }
  bool IsSimulator() const { return kind == Kind::Simulator || kind == Kind::NetworkSimulator; }
};

inline constexpr const char* kDefaultSimulatorProfile = "fbc32";

// Which port the command uses and where that choice came from, with how to choose another:
// "/dev/ttyS0, the default; choose one with --connection or store one with 'port set'".
// storedDevice: the device the program's store holds, if any; address: the connection's device
// or network address.
std::string DescribePort(const ConnectionChoice& choice, const std::optional<std::string>& storedDevice,
                         const std::string& address);

// The value of --connection: "RS232:<device>" as the program's "/Connection:" takes it (with
// its message for other values), "TCPIP:<host>[:<port>]", "SIM" / "SIM:<profile>" or "SIMTCP" /
// "SIMTCP:<profile>". Throws CBadInput.
ConnectionChoice ParseConnection(const std::optional<std::string>& value);

}  // namespace lanterna::cli
