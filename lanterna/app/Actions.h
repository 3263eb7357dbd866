#pragma once

#include <cstdint>
#include <string>

namespace lanterna {

// Action numbers of the state reports.
enum Action : int {
  kSoftwareReset = 1,
  kExtractFiles = 2,
  kFormatFlash = 3,
  kSaveParameters = 4,
  kFactoryDefaults = 5,
  kIdentify = 6,
  kConnect = 7,
  kWriteSettings = 8,
  kEnableWriting = 9,
  kWriteCommon = 10,
  kWriteSpecific = 11,
};

// States of a report.
enum ActionState : int { kFailed = 0, kDone = 1, kInProgress = 2 };

// One step report of a worker: which step, how it stands, whether it is a step inside an
// action, and with a failure the worker's error code (0 when there is none).
struct ThreadState {
  Action action = kIdentify;
  ActionState state = kInProgress;
  bool subStep = false;
  std::uint32_t failureCode = 0;
  bool operator==(const ThreadState&) const = default;
};

// The name inserted into the state texts; "Unknown Action %d" for numbers without one.
std::string ActionName(int action);

// The log line of a state report: "%s is in progress...", "%s successfully done",
// "ERROR: %s failed!" or "Unknown state for: %s", four blanks in front for a sub-step.
std::string StateLine(int action, int state, bool subStep);

// The four actions that end with an identification record.
enum class DoneKind { Read, Write, Restart, Default };

// The log line at the end of such an action.
std::string DoneLine(DoneKind kind, bool success);

}  // namespace lanterna
