#pragma once

#include <string>
#include <vector>

#include "app/PortProbe.h"
#include "cli/JsonOutput.h"

namespace lanterna::cli {

// "ttyUSB0      716-341, ETHERNET FBC", or why no device answered there.
std::string ProbeLine(const PortProbe& probe);
Json ProbeJson(const PortProbe& probe);

// The one port where a device answered, for --connection auto; throws the probe's list as the
// failure when there is none or more than one.
std::string OnlyPortWithADevice(const std::vector<PortProbe>& probes);

}  // namespace lanterna::cli
