#pragma once

#include <chrono>

#include "SimulatedDevice.h"
#include "app/DeviceActions.h"

namespace lanterna::test {

// A simulated device whose restarts, saves and file jobs take a fraction of their real time.
inline fennec::sim::SimulatorOptions QuickDevice(const char* profile) {
  fennec::sim::SimulatorOptions options;
  options.profile = *fennec::sim::FindProfile(profile);
  options.timings.restartSilence = std::chrono::milliseconds(300);
  options.timings.restartGrace = std::chrono::milliseconds(300);
  options.timings.saveBusy = std::chrono::milliseconds(150);
  options.timings.fileJob = std::chrono::milliseconds(700);
  return options;
}

// The actions' fixed waits, shortened to match.
inline ActionTimings QuickTimings() {
  ActionTimings timings;
  timings.probeDelay = std::chrono::milliseconds(20);
  timings.savePollDelay = std::chrono::milliseconds(50);
  timings.extractPollDelay = std::chrono::milliseconds(100);
  timings.formatPollDelay = std::chrono::milliseconds(100);
  return timings;
}

}  // namespace lanterna::test
