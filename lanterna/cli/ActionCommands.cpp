// read, write and the actions that ask first: restart, default, extract, format.
#include <iostream>
#include <string>

#include "cli/CliError.h"
#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "cli/Interruption.h"
#include "cli/SettingLines.h"
#include "cli/SettingValues.h"

namespace lanterna::cli {

namespace {

std::vector<SettingLine> RequestedSettings(const CliOptions& options) {
  if (options.from && !options.operands.empty())
    throw CBadInput("write takes KEY=VALUE operands or --from FILE, not both");
  std::vector<SettingLine> settings =
      options.from ? SettingsFromFile(*options.from) : SettingsFromArguments(options.operands);
  if (settings.empty()) throw CBadInput("usage: lanterna-cli write KEY=VALUE... | write --from FILE");
  return settings;
}

int RunConfirmedAction(const CliOptions& options, const Confirmation& confirmation,
                       SessionAction action, bool identifies) {
  RequireOperands(options, 0, 0, confirmation.command);
  RequireAnswerable(options, confirmation);
  CDeviceSession session(options);
  if (auto failed = ReadFirst(session, options)) return *failed;
  if (!Confirmed(options, confirmation)) throw CBadInput("cancelled; nothing was done");
  const bool succeeded = session.Run(action);
  if (!succeeded) return ActionFailed(session, options);
  if (identifies || options.json) PrintDeviceReport(session, options, true);
  return kExitSuccess;
}

}  // namespace

int RunRead(const CliOptions& options) {
  RequireOperands(options, 0, 0, "read");
  CDeviceSession session(options);
  if (auto failed = ReadFirst(session, options)) return *failed;
  PrintDeviceReport(session, options, true);
  return kExitSuccess;
}

int RunWrite(const CliOptions& options) {
  const std::vector<SettingLine> settings = RequestedSettings(options);
  CDeviceSession session(options);
  CSettingsPages& pages = session.Pages();
  RequireKnownKeysAndValues(pages, settings);
  if (auto failed = ReadFirst(session, options)) return *failed;

  // A field the page greys out with these settings is written all the same, but the device
  // does not use it (fixed addresses while they come from a server, for one).
  for (const std::string& key : SetValues(pages, settings))
    std::cerr << "Note: " << key << " is greyed out on its page with these settings; it is written all the same.\n";
  session.Data().SetModified(1);
  if (pages.Transmission().ShowsDuplexWarning())
    std::cerr << "Warning: Setting to full duplex could cause duplex missmatch!\n";
  if (auto failure = pages.Commit()) throw CBadInput(RefusalText(*failure, ""));

  const bool written = [&] {
    const CUncutWrite uncut;
    return session.Run(SessionAction::Write);
  }();
  if (!written) return ActionFailed(session, options);
  PrintDeviceReport(session, options, true);
  return kExitSuccess;
}

int RunRestart(const CliOptions& options) {
  return RunConfirmedAction(options, {"restart", "The firmware of the connected device will be started again."},
                            SessionAction::Restart, true);
}

int RunDefault(const CliOptions& options) {
  return RunConfirmedAction(
      options,
      {"default", "The connected device will be set back to its\nfactory default settings stored in EEPORM."},
      SessionAction::Default, true);
}

int RunExtract(const CliOptions& options) {
  return RunConfirmedAction(options, {"extract", "The file system of the connected device will be extracted."},
                            SessionAction::Extract, false);
}

int RunFormat(const CliOptions& options) {
  return RunConfirmedAction(options, {"format", "The file system of the connected device will be formated."},
                            SessionAction::Format, false);
}

}  // namespace lanterna::cli
