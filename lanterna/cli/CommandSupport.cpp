#include "cli/CommandSupport.h"

#include <iostream>

#include "Platform/Terminal.h"
#include "cli/CliError.h"
#include "cli/DeviceReport.h"
#include "cli/FailureReport.h"

namespace lanterna::cli {

void RequireOperands(const CliOptions& options, std::size_t min, std::size_t max, const char* usage) {
  const std::size_t count = options.operands.size();
  if (count < min || count > max) throw CBadInput(std::string("usage: lanterna-cli ") + usage);
}

void RequireAnswerable(const CliOptions& options, const Confirmation& confirmation) {
  if (options.yes || fennec::platform::StandardInputIsTerminal()) return;
  throw CBadInput(std::string(confirmation.command) +
                  " asks before it acts, and standard input is not a terminal: give --yes to confirm");
}

bool Confirmed(const CliOptions& options, const Confirmation& confirmation) {
  if (options.yes) return true;
  std::cerr << "\n" << confirmation.question << "\nContinue? [y/N] ";
  std::cerr.flush();
  std::string answer;
  std::getline(std::cin, answer);
  return answer == "y" || answer == "Y" || answer == "yes" || answer == "YES";
}

int Failed(const CliOptions& options, const CliFailure& failure, const Json& partial) {
  std::cerr << FailureReport(failure);
  if (options.json) PrintJsonFailure(kExitActionFailed, failure, partial);
  return kExitActionFailed;
}

// A script gets the log and whatever was identified; a person reads the failure.
int ActionFailed(CDeviceSession& session, const CliOptions& options) {
  return Failed(options, session.ActionFailure(), DeviceReportJson(session, false));
}

int DirectFailed(CDeviceSession& session, const CliOptions& options, const std::string& failureText,
                 const CatalogueDetails& details) {
  return Failed(options, session.DirectFailure(failureText, details));
}

namespace {

DeviceReport ReportOf(CDeviceSession& session, bool admissible) {
  return {session.Data(), session.Pages(), session.Program().ClockState(), admissible, session.Data().LogLines()};
}

}  // namespace

Json DeviceReportJson(CDeviceSession& session, bool admissible) { return ReportJson(ReportOf(session, admissible)); }

void PrintDeviceReport(CDeviceSession& session, const CliOptions& options, bool admissible) {
  if (options.json) {
    PrintJsonSuccess(DeviceReportJson(session, admissible));
    return;
  }
  std::cout << ReportText(ReportOf(session, admissible));
  std::cout.flush();
}

std::optional<int> ReadFirst(CDeviceSession& session, const CliOptions& options) {
  if (session.Run(SessionAction::Read)) return std::nullopt;
  return ActionFailed(session, options);
}

}  // namespace lanterna::cli
