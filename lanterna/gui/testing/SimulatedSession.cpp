#include "testing/SimulatedSession.h"

#include "app/Configuration.h"
#include "app/DeviceLink.h"

namespace lanterna::gui {

namespace {

fennec::sim::SimulatorOptions DeviceOptions(const SimulatedSessionOptions& options) {
  fennec::sim::SimulatorOptions device;
  device.profile = *fennec::sim::FindProfile(options.profile);
  device.baud = options.baud;
  device.stateFile = options.stateFile;
  if (options.quickDevice) {
    device.timings.restartSilence = std::chrono::milliseconds(300);
    device.timings.restartGrace = std::chrono::milliseconds(300);
    device.timings.saveBusy = std::chrono::milliseconds(150);
    device.timings.fileJob = std::chrono::milliseconds(700);
  }
  return device;
}

CIniFile IniOf(const SimulatedSessionOptions& options) {
  CIniFile ini;
  if (options.iniText.empty())
    ini.Load(ProgramIniPath());
  else
    ini.LoadFromText(options.iniText);
  return ini;
}

}  // namespace

CSimulatedSession::CSimulatedSession(SimulatedSessionOptions options)
    : m_device(std::make_unique<fennec::sim::SimulatedDevice>(DeviceOptions(options))) {
  m_bStarted = m_device->Start();
  // A simulated device is a fresh device on a fresh line: the stored port settings do not apply.
  m_session = std::make_unique<CProgramSession>(IniOf(options), MakeSerialLink(m_device->SlavePath(), false),
                                                options.commandLineDevice, options.debug, options.timings);
}

CSimulatedSession::~CSimulatedSession() {
  // The session goes first: its worker may still talk to the device.
  m_session.reset();
  m_device.reset();
}

ActionTimings CSimulatedSession::QuickTimings() {
  ActionTimings timings;
  timings.probeDelay = std::chrono::milliseconds(20);
  timings.savePollDelay = std::chrono::milliseconds(50);
  timings.extractPollDelay = std::chrono::milliseconds(100);
  timings.formatPollDelay = std::chrono::milliseconds(100);
  return timings;
}

}  // namespace lanterna::gui
