#pragma once

#include <string>

#include "Platform/Export.h"

namespace fennec::platform {

// Why a serial port failed, in words a technician can act on: for a refused
// permission the group that owns the device node and how to join it; for a busy port the
// processes that hold it, where the system tells; for a missing device what to check.
// Empty for error 0.
FENNEC_API std::string RefusedPortAdvice(const std::string& devicePath, int error);

}  // namespace fennec::platform
