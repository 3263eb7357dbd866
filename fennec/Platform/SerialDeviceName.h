#pragma once

#include <string>
#include <string_view>

#include "Platform/Export.h"

namespace fennec::platform {

// The device file of a port name as users give it: a name that begins with "/" is a path;
// "COMn" in any case (n from 1) is /dev/ttyS(n-1); any other name lies below /dev, so
// "ttyUSB0" is /dev/ttyUSB0.
FENNEC_API std::string SerialDevicePath(std::string_view name);

}  // namespace fennec::platform
