#include "cli/CommandSupport.h"

#include <iostream>

#include "cli/CliError.h"
#include "cli/DeviceReport.h"

namespace lanterna::cli {

void RequireOperands(const CliOptions& options, std::size_t min, std::size_t max, const char* usage) {
  const std::size_t count = options.operands.size();
  if (count < min || count > max) throw CBadInput(std::string("usage: lanterna-cli ") + usage);
}

int ActionFailed(const CDeviceSession& session) {
  std::cerr << session.ActionFailureReport();
  return kExitActionFailed;
}

void PrintDeviceReport(CDeviceSession& session, const CliOptions& options, bool admissible) {
  const DeviceReport report{session.Data(), session.Pages(), session.Program().ClockState(), admissible,
                            session.Data().LogLines()};
  std::cout << (options.json ? ReportJson(report) : ReportText(report));
  std::cout.flush();
}

std::optional<int> ReadFirst(CDeviceSession& session, const CliOptions& options) {
  if (session.Run(SessionAction::Read)) return std::nullopt;
  // A script gets the log and whatever was identified; a person reads the failure below.
  if (options.json) PrintDeviceReport(session, options, false);
  return ActionFailed(session);
}

}  // namespace lanterna::cli
