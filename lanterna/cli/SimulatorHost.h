#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "Profile.h"

namespace fennec::sim {
class SimulatedDevice;
}

namespace lanterna::cli {

// The folder of the simulated devices' memory files: $FENNEC_SIM_STATE, else the user's state
// folder. One file per profile, so that consecutive commands talk to the same device.
std::filesystem::path SimulatorStateFolder();
std::filesystem::path SimulatorStateFile(std::string_view profile);

// The profile of that name; throws CBadInput naming the profiles there are.
const fennec::sim::Profile& SimulatorProfile(std::string_view name);

// Returns the profile's simulated device to its factory state: its memory file goes. False
// when a file that is there cannot be removed.
bool ResetSimulator(const fennec::sim::Profile& profile, std::string& report);

// A simulated device served on a pseudo-terminal by this process for as long as the object
// lives, and on a free port of 127.0.0.1 when asked.
class CSimulatorHost {
 public:
  explicit CSimulatorHost(const fennec::sim::Profile& profile);
  ~CSimulatorHost();
  CSimulatorHost(const CSimulatorHost&) = delete;
  CSimulatorHost& operator=(const CSimulatorHost&) = delete;

  // False, with the reason in Report(), when it cannot start.
  bool Start();
  // Also serves the device on a free port of 127.0.0.1; false, with the reason in Report().
  bool StartTcp();
  const std::string& SlavePath() const;
  // The port served, 0 before StartTcp.
  std::uint16_t TcpPort() const;
  // How the memory was loaded (a damaged file moved aside), or why the start failed.
  const std::string& Report() const;

 private:
  std::unique_ptr<fennec::sim::SimulatedDevice> m_device;
  std::string m_strReport;
};

}  // namespace lanterna::cli
