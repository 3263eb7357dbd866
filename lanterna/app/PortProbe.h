#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lanterna {

// What one port answered to a probe: a device with its order number and description, or why
// not. A probe opens the port exclusively with the stored settings and the probe's short
// time-out, reads one register as Connect does and, when a device answers, identifies it; it
// writes nothing to the device.
struct PortProbe {
  enum class Outcome { Device, Refused, Silent };
  std::string port;
  Outcome outcome = Outcome::Silent;
  std::string orderNumber;
  std::string description;
  std::uint32_t code = 0;  // the library's code of a refused open or a silent line
  std::string advice;      // why the port was refused (held by which process, denied), where known
};

// Probes every port at once, one thread each; the results in the order of the ports.
std::vector<PortProbe> ProbePorts(const std::vector<std::string>& ports);

}  // namespace lanterna
