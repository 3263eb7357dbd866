#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ServiceBase.h"

namespace fennec::client {

// What a technician's program reads of a device through the library's service interface:
// identification, serial number, firmware-loader version, network identity, clock, the table
// list and the parameter tables 0 and 100, each as long as the table list says.
struct WholeDeviceRead {
  std::string orderNumber;
  std::string description;
  std::string hardwareVersion;
  std::string softwareVersion;
  std::string serialNumber;
  std::optional<std::string> firmwareLoaderVersion;  // nothing: the device does not offer it
  std::string networkKind;
  std::string networkValue;
  std::optional<std::uint32_t> clockSeconds;  // nothing: the device has no clock
  std::uint16_t timeZone = 0;
  std::vector<tFBCTable> tables;
  std::vector<std::uint16_t> table0;
  std::vector<std::uint16_t> table100;

  // The step that failed, other than a service the device does not offer, and its code.
  std::string failedStep;
  std::uint32_t failure = 0;

  bool Complete() const { return failedStep.empty(); }
};

// Reads in the order above and stops at the first step that fails.
WholeDeviceRead ReadWholeDevice(CServiceBase& service);

}  // namespace fennec::client
