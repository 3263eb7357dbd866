#include "cli/DeviceSession.h"

#include <filesystem>
#include <iostream>

#include "Common/ModuleVersion.h"
#include "Platform/LastError.h"
#include "Platform/Terminal.h"
#include "app/CommandLine.h"
#include "app/Configuration.h"
#include "app/WorkerThread.h"
#include "cli/CliError.h"
#include "cli/FailureReport.h"
#include "cli/SimulatorHost.h"

namespace lanterna::cli {

namespace {

std::string ProgramVersionText() { return ModuleVersionText(LANTERNA_FILE_VERSION, __DATE__ " " __TIME__); }

// Passes the worker's reports on and keeps the worker thread's last error code of the first
// failure, which the front end's thread cannot read.
class CFailureCodeWatch : public IWorkerReports {
 public:
  CFailureCodeWatch(IWorkerReports& next, std::uint32_t& code) : m_next(next), m_code(code) {}

  void ShowThreadState(int action, std::uint32_t state) override {
    if ((state & 0xFFFF) != kDone && (state & 0xFFFF) != kInProgress) Keep();
    m_next.ShowThreadState(action, state);
  }
  void Done(DoneKind kind, bool success, std::unique_ptr<tIdentification> record) override {
    if (!success) Keep();
    m_next.Done(kind, success, std::move(record));
  }
  void DeviceChanged(const std::string& text) override { m_next.DeviceChanged(text); }
  void PollingTrace(const std::string& trace) override { m_next.PollingTrace(trace); }

 private:
  void Keep() {
    if (m_code == 0) m_code = fennec::platform::GetThreadLastError();
  }

  IWorkerReports& m_next;
  std::uint32_t& m_code;
};

std::unique_ptr<CSimulatorHost> StartSimulator(const ConnectionChoice& choice) {
  if (choice.kind != ConnectionChoice::Kind::Simulator) return nullptr;
  auto host = std::make_unique<CSimulatorHost>(SimulatorProfile(choice.profile));
  const bool started = host->Start();
  if (!host->Report().empty()) std::cerr << "simulator: " << host->Report() << "\n";
  // A device that cannot start stays silent: the actions then fail as they do on a dead line.
  if (!started) std::cerr << "simulator: the simulated device did not start\n";
  return host;
}

void ConfigureConnection(ORLA::CRS232Connection& connection, const ConnectionChoice& choice,
                         const CSimulatorHost* simulator) {
  // The simulator is a fresh device on a fresh line: the stored settings of a real port do not
  // apply to it.
  if (choice.kind != ConnectionChoice::Kind::Simulator) {
    connection.SetStorageProperties(kProgramRegistryKey, ORLA::ISettings::Registry);
    connection.LoadSettings();
  }
  if (choice.kind == ConnectionChoice::Kind::Serial) connection.SetSettingsXML(CommandLineDeviceDocument(choice.device));
  if (simulator) connection.SetSettingsXML(CommandLineDeviceDocument(simulator->SlavePath()));
}

}  // namespace

CIniFile LoadIniFile(const CliOptions& options) {
  std::string path;
  if (options.ini) {
    path = *options.ini;
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) throw CBadInput("there is no INI file " + path);
  } else {
    path = IniPath(fennec::platform::ProgramFolder().string(), CProgramRegistry().AppExe());
  }
  CIniFile ini;
  if (!ini.Load(path)) throw CBadInput("the INI file " + path + " cannot be read");
  return ini;
}

CDeviceSession::CDeviceSession(const CliOptions& options)
    : m_bDebug(options.debug),
      m_choice(ParseConnection(options.connection)),
      m_ini(LoadIniFile(options)),
      m_simulator(StartSimulator(m_choice)),
      m_service(&m_connection),
      m_data(m_ini, m_choice.kind != ConnectionChoice::Kind::Stored),
      m_pages(m_ini),
      m_frontEnd(m_data, std::cerr) {
  ConfigureConnection(m_connection, m_choice, m_simulator.get());
  CProgramRegistry().WriteVersions(ProgramVersionText(),
                                   ModuleVersionText(fennec::LibraryFileVersion(), fennec::LibraryBuildDate()));
}

CDeviceSession::~CDeviceSession() {
  ClosePort();
  m_simulator.reset();
}

bool CDeviceSession::RunAction(int action, const char* waitingText,
                               const std::function<bool(CDeviceActions&)>& run) {
  if (!m_frontEnd.BeginAction(action)) return false;
  std::cerr << waitingText << "\n";
  std::uint32_t code = 0;
  RunOnWorkerThread(
      [&](IWorkerReports& reports) {
        fennec::platform::SetThreadLastError(0);
        CFailureCodeWatch watch(reports, code);
        CDeviceActions actions(m_connection, m_service, watch, m_bDebug);
        run(actions);
      },
      m_frontEnd);
  m_nFailureCode = code;
  return !m_frontEnd.Failed();
}

bool CDeviceSession::RunIdentifyingAction(int action, const char* waitingText,
                                          const std::function<bool(CDeviceActions&)>& run) {
  const bool succeeded = RunAction(action, waitingText, run);
  if (succeeded) LoadPages();
  return succeeded;
}

void CDeviceSession::LoadPages() {
  for (const std::string& page : m_pages.Load(m_data))
    std::cerr << "The device's table 100 is too short for the page " << page << "; its values are left out.\n";
}

bool CDeviceSession::Read() {
  return RunIdentifyingAction(kIdentify, "Please wait, connected device will be identified ...",
                              [](CDeviceActions& actions) { return actions.Read(); });
}

bool CDeviceSession::Write() {
  // The worker gets copies, as the dialog hands its images to the write thread.
  const std::string orderNumber = m_data.Identification().orderNumber;
  const std::vector<std::uint16_t> table0 = m_data.Table0();
  const std::vector<std::uint16_t> table100 = m_data.Table100();
  return RunIdentifyingAction(kWriteSettings, "Please wait, settings will be writtern to the device ...",
                              [&](CDeviceActions& actions) { return actions.Write(orderNumber, table0, table100); });
}

bool CDeviceSession::Restart() {
  const std::string orderNumber = m_data.Identification().orderNumber;
  return RunIdentifyingAction(kSoftwareReset, "Please wait, connected device will be restarted ...",
                              [&](CDeviceActions& actions) { return actions.Restart(orderNumber); });
}

bool CDeviceSession::Default() {
  const std::string orderNumber = m_data.Identification().orderNumber;
  return RunIdentifyingAction(kFactoryDefaults,
                              "Please wait, connected device will be resetted to factory default settings ...",
                              [&](CDeviceActions& actions) { return actions.Default(orderNumber); });
}

bool CDeviceSession::Extract() {
  const std::string orderNumber = m_data.Identification().orderNumber;
  return RunAction(kExtractFiles, "Please wait, the file system of the connected device will be extracted ...",
                   [&](CDeviceActions& actions) { return actions.Extract(orderNumber); });
}

bool CDeviceSession::Format() {
  const std::string orderNumber = m_data.Identification().orderNumber;
  return RunAction(kFormatFlash, "Please wait, the file system of the connected device will be formatted ...",
                   [&](CDeviceActions& actions) { return actions.Format(orderNumber); });
}

bool CDeviceSession::OpenPort() { return CDeviceActions(m_connection, m_service, m_frontEnd).OpenPort(); }

void CDeviceSession::ClosePort() { CDeviceActions(m_connection, m_service, m_frontEnd).ClosePort(); }

std::string CDeviceSession::ActionFailureReport() const {
  return FailureReport(m_frontEnd.FailureText(), m_nFailureCode, m_connection.GetSystemErrorAdvice());
}

std::string CDeviceSession::DirectFailureReport(const std::string& failureText) const {
  return FailureReport(failureText, fennec::platform::GetThreadLastError(), m_connection.GetSystemErrorAdvice());
}

}  // namespace lanterna::cli
