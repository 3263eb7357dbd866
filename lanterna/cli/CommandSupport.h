#pragma once

#include <cstddef>
#include <optional>

#include "cli/Arguments.h"
#include "cli/DeviceSession.h"

namespace lanterna::cli {

// Throws CBadInput unless the command got between min and max operands.
void RequireOperands(const CliOptions& options, std::size_t min, std::size_t max, const char* usage);

// The question the dialog asks before an action, on the terminal; --yes answers it.
struct Confirmation {
  const char* command;
  const char* question;
};

// Throws CBadInput when the question cannot be answered: no --yes and no terminal to ask on.
void RequireAnswerable(const CliOptions& options, const Confirmation& confirmation);
// Asks on the terminal unless --yes was given; true for a yes.
bool Confirmed(const CliOptions& options, const Confirmation& confirmation);

// Prints a failure to standard error and, with --json, its one object with what was read
// before; gives the exit status.
int Failed(const CliOptions& options, const CliFailure& failure, const Json& partial = Json::object());
// The last action's failure, with what its identification gave.
int ActionFailed(CDeviceSession& session, const CliOptions& options);
// A failed direct call of the service, with the calling thread's last error code.
int DirectFailed(CDeviceSession& session, const CliOptions& options, const std::string& failureText,
                 const CatalogueDetails& details = {});

// What the device's last identification gave, as JSON members.
Json DeviceReportJson(CDeviceSession& session, bool admissible);
// Prints it: as JSON, or as text (which a write can read back).
void PrintDeviceReport(CDeviceSession& session, const CliOptions& options, bool admissible);

// Reads the device; on failure prints the failure. The exit status on failure, nothing on
// success.
std::optional<int> ReadFirst(CDeviceSession& session, const CliOptions& options);

}  // namespace lanterna::cli
