#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "app/ActionView.h"
#include "app/DeviceActions.h"
#include "app/DeviceLink.h"
#include "app/DialogData.h"
#include "app/WorkerThread.h"
#include "base/IniFile.h"
#include "pages/ServiceDeviceClock.h"
#include "pages/SettingsPages.h"

namespace lanterna {

enum class SessionAction { Read, Write, Restart, Default, Extract, Format };

// The text a front end shows while the action starts ("Please wait, ...").
const char* WaitingText(SessionAction action);

// One program session as both front ends drive it: the INI file, the link to the device, the
// dialog data and the page models, and the rules between them. Every report of a worker goes
// through the dialog data before the front end's view sees it.
class CProgramSession {
 public:
  // Writes the program's version values to the registry, as every start does.
  CProgramSession(CIniFile ini, std::unique_ptr<IDeviceLink> link, bool hasCommandLineDevice, bool debug,
                  ActionTimings timings = {});
  // Waits for a worker that still runs: it uses the link and the images until its end.
  ~CProgramSession();
  CProgramSession(const CProgramSession&) = delete;
  CProgramSession& operator=(const CProgramSession&) = delete;

  const CIniFile& Ini() const { return m_ini; }
  CDialogData& Data() { return m_data; }
  const CDialogData& Data() const { return m_data; }
  CSettingsPages& Pages() { return m_pages; }
  ORLA::CConnectionBase& Connection() { return m_link->Connection(); }
  CServiceBase& Service() { return m_link->Service(); }
  // Where the device is: the serial device, or "host:port".
  std::string ConnectionAddress() { return m_link->Address(); }

  // Runs the action on its worker thread and returns when it has ended; the view is called on
  // the calling thread. False when another action runs or this one failed.
  bool Run(SessionAction action, IActionView& view);
  // Starts the action and returns at once; false when one runs. Each report, and at last
  // ended(succeeded), reach the view through dispatch, and the worker waits for each.
  bool Start(SessionAction action, IActionView& view, ReportDispatcher dispatch,
             std::function<void(bool succeeded)> ended);
  bool WorkerRunning() const { return m_worker.Running(); }
  void WaitForWorker() { m_worker.Wait(); }

  // How the last action failed: the line that says why, the library's code of its first failed
  // step (0: none) and what the connection adds for a technician.
  const std::string& LastFailureText() const { return m_strFailureText; }
  std::uint32_t LastFailureCode() const { return m_nFailureCode; }
  // The step of the last action that failed first, where one did.
  std::optional<Action> LastFailedStep() const { return m_failedStep; }
  std::string ConnectionAdvice() const;
  // What the last identification said about the device's clock.
  const std::string& ClockState() const { return m_strClockState; }
  // Used pages whose registers the last table 100 did not hold; their values are left out.
  const std::vector<std::string>& PagesLeftOut() const { return m_pagesLeftOut; }

  // Direct use of the device on the front end's thread while no action runs: the Clock page,
  // and the raw registers of lanterna-cli. The port stays open until ClosePort.
  bool OpenPort();
  void ClosePort();
  CServiceDeviceClock Clock() { return CServiceDeviceClock(Service()); }
  bool ReadRegisters(unsigned table, unsigned first, std::span<std::uint16_t> words);
  bool WriteRegisters(unsigned table, unsigned first, std::span<std::uint16_t> words);

 private:
  class CReports;

  bool Begin(SessionAction action);
  std::function<void(IWorkerReports&)> WorkerFor(SessionAction action);
  bool End(SessionAction action);
  void Keep(const ReportOutcome& outcome);

  CIniFile m_ini;
  std::unique_ptr<IDeviceLink> m_link;
  bool m_bDebug;
  ActionTimings m_timings;
  CDialogData m_data;
  CSettingsPages m_pages;
  std::unique_ptr<CReports> m_reports;
  bool m_bFailed = false;
  std::string m_strFailureText;
  std::uint32_t m_nFailureCode = 0;
  std::optional<Action> m_failedStep;
  std::string m_strClockState;
  std::vector<std::string> m_pagesLeftOut;
  ReadImages m_readImages;  // as the last identifying action read them, before any edit
  CWorkerThread m_worker;  // last: goes first, while everything it uses is still there
};

}  // namespace lanterna
