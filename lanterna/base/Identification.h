#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lanterna {

// What a worker thread learned about the device; handed to the front end with the DONE report.
struct tIdentification {
  std::string orderNumber;
  std::string description;  // holds the failure text instead when a step fails
  std::string hardwareVersion;
  std::string softwareVersion;
  std::string fwlVersion;
  std::string serialNumber;
  std::string networkIdKind;
  std::string networkId;
  std::string clockState;  // "DONE", "ERROR" or "ERROR: Service not supported!"
  std::string ipAddress;
  std::string subnetMask;
  std::string gateway;
  std::uint32_t clockFlag = 0;
  std::vector<std::uint16_t> table0;
  std::vector<std::uint16_t> table100;
};

}  // namespace lanterna
