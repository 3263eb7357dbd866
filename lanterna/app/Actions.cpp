#include "app/Actions.h"

#include <array>

#include "base/TextFormat.h"

namespace lanterna {

std::string ActionName(int action) {
  static constexpr std::array<const char*, 12> kNames = {
      nullptr,
      "Software-Reset",
      "Extracting file system",
      "Formating file system",
      "Saving parameters",
      "Adjusting factory default settings",
      "Identifying connected device",
      "Connecting with the device",
      "Writing settings",
      "Enabeling write access",
      "Writing common settings",
      "Writing specific settings",
  };
  if (action >= 1 && action < static_cast<int>(kNames.size())) return kNames[static_cast<std::size_t>(action)];
  return "Unknown Action " + std::to_string(action);
}

std::string StateLine(int action, int state, bool subStep) {
  const char* format = "Unknown state for: %s";
  switch (state) {
    case kInProgress: format = "%s is in progress..."; break;
    case kDone: format = "%s successfully done"; break;
    case kFailed: format = "ERROR: %s failed!"; break;
  }
  return (subStep ? "    " : "") + FormatText(format, {ActionName(action)});
}

std::string DoneLine(DoneKind kind, bool success) {
  switch (kind) {
    case DoneKind::Read:
      return success ? "Connected device successfully identified." : "Identification of connected device failed!";
    case DoneKind::Write:
      return success ? "Writing settings to the connected device successfully done"
                     : "Writing settings to the connected device failed!";
    case DoneKind::Restart:
      return success ? "Software reset of the connected device successfully done"
                     : "Software reset of the connected device failed!";
    case DoneKind::Default:
      return success ? "Connected device successfully resetted to factory default settings"
                     : "Failed to reset connected device to factory default settings!";
  }
  return {};
}

}  // namespace lanterna
