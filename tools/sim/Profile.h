#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "RegisterTables.h"

namespace fennec::sim {

// A service as the device names it: group in the high byte, number in the low byte.
using ServiceId = std::uint16_t;
constexpr ServiceId MakeServiceId(std::uint8_t group, std::uint8_t number) {
  return static_cast<ServiceId>((group << 8) | number);
}

enum class Generation { Bits16, Bits32 };

// The texts a device reports about itself. Each may be overridden on the command line.
struct Identity {
  std::string orderNumber;
  std::string description;
  std::string hardwareVersion;
  std::string softwareVersion;
  std::string firmwareLoaderVersion;
  std::string serialNumber;
  std::string networkKind;
  std::string networkValue;
  std::string burnDate;
  std::string psn;
  std::string productionMarking;
  std::string qsMarking;
};

// The IPv4 settings an older device reports through its internal variables, as it has no
// registers for them in table 100.
struct AddressTexts {
  std::string ip;
  std::string subnetMask;
  std::string gateway;
};

struct Profile {
  std::string name;
  std::string summary;
  Identity identity;
  Generation generation = Generation::Bits32;
  std::vector<ServiceId> missingServices;
  // Older firmware answers internal variables with the bare value, without "name;".
  bool namedInternalVariables = true;
  AddressTexts addresses;
  // Factory values of the parameter tables, the ones kept in non-volatile memory (0 and 100).
  TableSet parameterTables;
  // Tables the device fills itself; a client may read but not write them (124, 127).
  TableSet deviceTables;
  // Tables a client may write at any time, without enabling; every start gives them their
  // factory words again (110).
  TableSet scratchTables;
  // The restart service over the extended protocol is answered in the old telegram format, as
  // a coupler that goes down at once does.
  bool oldFormatRestartAnswer = false;
  std::uint16_t baudMantissa = 0;
  std::uint16_t baudExponent = 0;
  std::uint16_t addressSwitch = 0;
  std::uint8_t terminalModules = 0;
  // The monitor reports calendar seconds instead of ticks since the start.
  bool absoluteMonitorTimes = false;

  bool Offers(ServiceId service) const;
};

std::span<const Profile> AllProfiles();
const Profile* FindProfile(std::string_view name);

// Why an identity cannot be reported (a text group longer than a service answer holds), or
// nothing when it can.
std::optional<std::string> IdentityProblem(const Identity& identity);

}  // namespace fennec::sim
