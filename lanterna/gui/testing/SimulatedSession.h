#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "SimulatedDevice.h"
#include "app/ProgramSession.h"

namespace lanterna::gui {

// A program session on a simulated device served in this process, for the window tests, the
// screenshots and the latency benchmark.
struct SimulatedSessionOptions {
  std::string profile = "fbc32";
  unsigned baud = 0;                // 0: the device answers at once
  bool quickDevice = true;          // short restart, save and file-job times
  std::filesystem::path stateFile;  // empty: the device's memory lives in this process only
  std::string iniText;              // empty: the program's own INI file
  bool commandLineDevice = true;    // as if the device came with /Connection:
  bool debug = false;               // as with /DEBUG
  ActionTimings timings;
};

class CSimulatedSession {
 public:
  explicit CSimulatedSession(SimulatedSessionOptions options);
  ~CSimulatedSession();

  // False, with the device's report, when it could not start.
  bool Started() const { return m_bStarted; }
  fennec::sim::SimulatedDevice& Device() { return *m_device; }
  CProgramSession& Session() { return *m_session; }

 private:
  std::unique_ptr<fennec::sim::SimulatedDevice> m_device;
  bool m_bStarted = false;
  std::unique_ptr<CProgramSession> m_session;
};

}  // namespace lanterna::gui
