#pragma once

#include <optional>
#include <string>

namespace lanterna::cli {

// Where the command's device is: the program's stored port, a named serial device, or the
// device simulator started in this process.
struct ConnectionChoice {
  enum class Kind { Stored, Serial, Simulator };
  Kind kind = Kind::Stored;
  std::string device;   // Serial: the device as "RS232:" named it
  std::string profile;  // Simulator: the profile's name
};

inline constexpr const char* kDefaultSimulatorProfile = "fbc32";

// Which port the command uses and where that choice came from, with how to choose another:
// "/dev/ttyS0, the default; choose one with --connection or store one with 'port set'".
// storedDevice: the device the program's store holds, if any; device: the connection's.
std::string DescribePort(const ConnectionChoice& choice, const std::optional<std::string>& storedDevice,
                         const std::string& device);

// The value of --connection: "RS232:<device>" as the program's "/Connection:" takes it (with
// its messages for "TCPIP:" and other values), or "SIM" / "SIM:<profile>". Throws CBadInput.
ConnectionChoice ParseConnection(const std::optional<std::string>& value);

}  // namespace lanterna::cli
