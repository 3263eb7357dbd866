#include "cli/SimulatorHost.h"

#include <cstdlib>
#include <system_error>

#include "Platform/StoreFile.h"
#include "SimulatedDevice.h"
#include "cli/CliError.h"

namespace lanterna::cli {

std::filesystem::path SimulatorStateFolder() {
  if (const char* folder = std::getenv("FENNEC_SIM_STATE"); folder != nullptr && *folder != '\0') return folder;
  return fennec::platform::UserStateFolder();
}

std::filesystem::path SimulatorStateFile(std::string_view profile) {
  return SimulatorStateFolder() / ("simulator-" + std::string(profile) + ".state");
}

const fennec::sim::Profile& SimulatorProfile(std::string_view name) {
  if (const fennec::sim::Profile* profile = fennec::sim::FindProfile(name)) return *profile;
  std::string names;
  for (const fennec::sim::Profile& profile : fennec::sim::AllProfiles())
    names += (names.empty() ? "" : ", ") + profile.name;
  throw CBadInput("there is no simulator profile '" + std::string(name) + "'; the profiles are " + names);
}

bool ResetSimulator(const fennec::sim::Profile& profile, std::string& report) {
  const std::filesystem::path file = SimulatorStateFile(profile.name);
  std::error_code error;
  const bool removed = std::filesystem::remove(file, error);
  if (error) {
    report = "cannot remove " + file.string() + ": " + error.message();
    return false;
  }
  report = "The simulated " + profile.name + " device is in its factory state" +
           (removed ? " (removed " + file.string() + ")." : " (it had no memory file).");
  return true;
}

CSimulatorHost::CSimulatorHost(const fennec::sim::Profile& profile) {
  fennec::sim::SimulatorOptions options;
  options.profile = profile;
  options.stateFile = SimulatorStateFile(profile.name);
  m_device = std::make_unique<fennec::sim::SimulatedDevice>(std::move(options));
}

CSimulatorHost::~CSimulatorHost() = default;

bool CSimulatorHost::Start() {
  const bool started = m_device->Start();
  m_strReport = m_device->StartReport();
  return started;
}

bool CSimulatorHost::StartTcp() {
  const int error = m_device->StartTcp(0);
  if (error != 0) m_strReport = "cannot serve on 127.0.0.1: " + std::system_category().message(error);
  return error == 0;
}

const std::string& CSimulatorHost::SlavePath() const { return m_device->SlavePath(); }

std::uint16_t CSimulatorHost::TcpPort() const { return m_device->TcpPort(); }

const std::string& CSimulatorHost::Report() const { return m_strReport; }

}  // namespace lanterna::cli
