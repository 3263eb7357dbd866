#include "cli/SettingValues.h"

#include "cli/CliError.h"
#include "cli/FieldValue.h"

namespace lanterna::cli {

std::string RefusalText(const ValidationFailure& failure, const std::string& value) {
  std::string text = failure.key;
  if (!value.empty()) text += "=" + value;
  text += " refused";
  if (failure.title != failure.key) text += " (" + failure.title + ")";
  return text + ": " + failure.message;
}

void RequireKnownKeysAndValues(const CSettingsPages& pages, const std::vector<SettingLine>& settings) {
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

// A count and its offset share one range, so the first round may check one against the other's
// old value: the second round checks every value against the final ones.
std::vector<std::string> SetValues(CSettingsPages& pages, const std::vector<SettingLine>& settings) {
  for (const SettingLine& setting : settings) (void)pages.Set(setting.key, setting.value);
  for (const SettingLine& setting : settings)
    if (auto failure = pages.Set(setting.key, setting.value))
      throw CBadInput(setting.origin + ": " + RefusalText(*failure, setting.value));
  std::vector<std::string> greyedOut;
  for (const SettingLine& setting : settings)
    if (!pages.FindParameter(setting.key)->Enabled()) greyedOut.push_back(setting.key);
  return greyedOut;
}

}  // namespace lanterna::cli
