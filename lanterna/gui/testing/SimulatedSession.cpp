#include "testing/SimulatedSession.h"

#include "app/Configuration.h"
#include "SimulatorSupport.h"
#include "app/DeviceLink.h"

namespace lanterna::gui {

namespace {

fennec::sim::SimulatorOptions DeviceOptions(const SimulatedSessionOptions& options) {
  fennec::sim::SimulatorOptions device = test::QuickDevice(options.profile.c_str());
  if (!options.quickDevice) device.timings = {};
  device.baud = options.baud;
  device.stateFile = options.stateFile;
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

}  // namespace lanterna::gui
