#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "Communication/RS232Connection.h"
#include "SIOService.h"
#include "app/DeviceActions.h"
#include "app/DialogData.h"
#include "app/IniFile.h"
#include "cli/Arguments.h"
#include "cli/ConnectionChoice.h"
#include "cli/FrontEnd.h"
#include "pages/SettingsPages.h"

namespace lanterna::cli {

class CSimulatorHost;

// The INI file the command uses: --ini, else the program's own (next to it, or named by the
// registry's AppExe). Throws CBadInput when a file named by --ini is missing or one cannot be
// read.
CIniFile LoadIniFile(const CliOptions& options);

// What the program builds at its start for a command that talks to a device: the INI file,
// the registry's version values, the connection (stored settings, --connection's device, or
// the simulator started here), the one service object, the dialog data and the page models.
class CDeviceSession {
 public:
  // Throws CBadInput for a bad --connection or --ini.
  explicit CDeviceSession(const CliOptions& options);
  ~CDeviceSession();
  CDeviceSession(const CDeviceSession&) = delete;
  CDeviceSession& operator=(const CDeviceSession&) = delete;

  const CIniFile& Ini() const { return m_ini; }
  CDialogData& Data() { return m_data; }
  CSettingsPages& Pages() { return m_pages; }
  CCliFrontEnd& FrontEnd() { return m_frontEnd; }
  CServiceBase& Service() { return m_service; }

  // The device actions, each on its worker thread, with their waiting text first. The actions
  // that end with the device identified load the page models again.
  bool Read();
  bool Write();  // the images as the page models committed them
  bool Restart();
  bool Default();
  bool Extract();
  bool Format();

  // For the commands that use the service directly, as the Clock page does: opens the port
  // when it is closed; false when it cannot.
  bool OpenPort();
  void ClosePort();

  // Standard error's report of the last failed action, or of a failed direct call with the
  // calling thread's last error code.
  std::string ActionFailureReport() const;
  std::string DirectFailureReport(const std::string& failureText) const;

 private:
  bool RunAction(int action, const char* waitingText, const std::function<bool(CDeviceActions&)>& run);
  bool RunIdentifyingAction(int action, const char* waitingText, const std::function<bool(CDeviceActions&)>& run);
  void LoadPages();

  bool m_bDebug;
  ConnectionChoice m_choice;
  CIniFile m_ini;
  std::unique_ptr<CSimulatorHost> m_simulator;
  ORLA::CRS232Connection m_connection;
  CSIOService m_service;
  CDialogData m_data;
  CSettingsPages m_pages;
  CCliFrontEnd m_frontEnd;
  std::uint32_t m_nFailureCode = 0;
};

}  // namespace lanterna::cli
