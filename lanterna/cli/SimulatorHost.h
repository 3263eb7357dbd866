#pragma once

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
// lives.
class CSimulatorHost {
 public:
  explicit CSimulatorHost(const fennec::sim::Profile& profile);
  ~CSimulatorHost();
  CSimulatorHost(const CSimulatorHost&) = delete;
  CSimulatorHost& operator=(const CSimulatorHost&) = delete;

  // False, with the reason in Report(), when it cannot start.
  bool Start();
  const std::string& SlavePath() const;
  // How the memory was loaded (a damaged file moved aside), or why the start failed.
  const std::string& Report() const;

 private:
  std::unique_ptr<fennec::sim::SimulatedDevice> m_device;
};

}  // namespace lanterna::cli
