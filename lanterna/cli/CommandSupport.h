#pragma once

#include <cstddef>
#include <optional>

#include "cli/Arguments.h"
#include "cli/DeviceSession.h"

namespace lanterna::cli {

// Throws CBadInput unless the command got between min and max operands.
void RequireOperands(const CliOptions& options, std::size_t min, std::size_t max, const char* usage);

// Prints the last action's failure report to standard error and gives the exit status.
int ActionFailed(const CDeviceSession& session);

// Prints what the device's last identification gave: as JSON, or as text (which a write can
// read back).
void PrintDeviceReport(CDeviceSession& session, const CliOptions& options, bool admissible);

// Reads the device; on failure prints the report (JSON only) and the failure. The exit status
// on failure, nothing on success.
std::optional<int> ReadFirst(CDeviceSession& session, const CliOptions& options);

}  // namespace lanterna::cli
