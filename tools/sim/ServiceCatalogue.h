#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "DeviceState.h"
#include "DeviceStatus.h"
#include "Moment.h"

namespace fennec::sim {

struct ServiceResult {
  std::uint16_t status = status::kOk;
  std::vector<std::uint16_t> words;
};

using ServiceHandler = ServiceResult (*)(DeviceState& state, std::span<const std::uint16_t> arguments,
                                         const Moment& now);

struct ServiceEntry {
  std::uint8_t group;
  std::uint8_t number;
  std::uint8_t argumentCount;
  const char* name;
  ServiceHandler run;
};

// The internal variables as names and values: the firmware version, then the IPv4 settings.
std::vector<std::pair<std::string, std::string>> InternalVariables(const DeviceState& state);

// Group 1, the coupler's services, with the old group-0 form of the address switch.
std::span<const ServiceEntry> CouplerServices();
// Group 2: terminal-bus reset, monitor and service states.
std::span<const ServiceEntry> DiagnosisServices();
// Group 3: the file system.
std::span<const ServiceEntry> FileServices();

}  // namespace fennec::sim
