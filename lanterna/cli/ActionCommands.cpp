// read, write and the actions that ask first: restart, default, extract, format.
#include <iostream>
#include <string>

#include "cli/CliError.h"
#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "cli/FieldValue.h"
#include "cli/Interruption.h"
#include "cli/SettingLines.h"

namespace lanterna::cli {

namespace {

std::string RefusalText(const ValidationFailure& failure, const std::string& value) {
  std::string text = failure.key;
  if (!value.empty()) text += "=" + value;
  text += " refused";
  if (failure.title != failure.key) text += " (" + failure.title + ")";
  return text + ": " + failure.message;
}

// Every key names a parameter and every number is a whole number of its field's base, before
// anything is read or written.
void RequireKnownKeysAndValues(CSettingsPages& pages, const std::vector<SettingLine>& settings) {
  for (const SettingLine& setting : settings) {
    const CPageParameter* parameter = pages.FindParameter(setting.key);
    if (!parameter)
      throw CBadInput(setting.origin + ": there is no parameter " + setting.key +
                      " ('lanterna-cli params' lists them)");
    if (auto refusal = StrictValueRefusal(*parameter, setting.value))
      throw CBadInput(setting.origin + ": " + setting.key + "=" + setting.value + " refused: " + *refusal +
                      "; nothing was written");
  }
}

// Each value goes in as a user types it into its field. A count and its offset share one
// range, so the first round may check one against the other's old value: the second round
// checks every value against the final ones.
void SetValues(CSettingsPages& pages, const std::vector<SettingLine>& settings) {
  for (const SettingLine& setting : settings) (void)pages.Set(setting.key, setting.value);
  for (const SettingLine& setting : settings)
    if (auto failure = pages.Set(setting.key, setting.value))
      throw CBadInput(setting.origin + ": " + RefusalText(*failure, setting.value));
  // A field the page greys out with these settings is written all the same, but the device
  // does not use it (fixed addresses while they come from a server, for one).
  for (const SettingLine& setting : settings)
    if (!pages.FindParameter(setting.key)->Enabled())
      std::cerr << "Note: " << setting.key << " is greyed out on its page with these settings; it is written all the same.\n";
}

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

  SetValues(pages, settings);
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
