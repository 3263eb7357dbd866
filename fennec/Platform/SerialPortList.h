#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "Platform/Export.h"

namespace fennec::platform {

struct SerialPortInfo {
  std::string name;          // as a port setting takes it: "ttyUSB0"
  std::string friendlyName;  // "FT232R USB UART (ttyUSB0)"

  bool operator==(const SerialPortInfo&) const = default;
};

// The serial ports of this machine, from the tty class of sysfs: every tty with a device
// behind it, named by the product of its USB device or else by its driver. Legacy ttyS
// entries whose UART the kernel did not find (type 0) are left out. Sorted by name, with
// numbers in numeric order (ttyS2 before ttyS10).
FENNEC_API std::vector<SerialPortInfo> ListSerialPorts(const std::filesystem::path& ttyClass = "/sys/class/tty");

}  // namespace fennec::platform
