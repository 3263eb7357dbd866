#include "app/ProgramSession.h"

#include "Common/ModuleVersion.h"
#include "app/Configuration.h"

namespace lanterna {

namespace {

Action ActionNumber(SessionAction action) {
  switch (action) {
    case SessionAction::Read: return kIdentify;
    case SessionAction::Write: return kWriteSettings;
    case SessionAction::Restart: return kSoftwareReset;
    case SessionAction::Default: return kFactoryDefaults;
    case SessionAction::Extract: return kExtractFiles;
    case SessionAction::Format: return kFormatFlash;
  }
  return kIdentify;
}

// The actions that end with the device identified again.
bool Identifies(SessionAction action) {
  return action != SessionAction::Extract && action != SessionAction::Format;
}

}  // namespace

const char* WaitingText(SessionAction action) {
  switch (action) {
    case SessionAction::Read: return "Please wait, connected device will be identified ...";
    case SessionAction::Write: return "Please wait, settings will be writtern to the device ...";
    case SessionAction::Restart: return "Please wait, connected device will be restarted ...";
    case SessionAction::Default: return "Please wait, connected device will be resetted to factory default settings ...";
    case SessionAction::Extract: return "Please wait, the file system of the connected device will be extracted ...";
    case SessionAction::Format: return "Please wait, the file system of the connected device will be formatted ...";
  }
  return "";
}

// The front end's side of a worker's reports: the dialog data takes each, the view shows it.
class CProgramSession::CReports : public IWorkerReports {
 public:
  CReports(CProgramSession& session, IActionView& view) : m_session(session), m_view(view) {}

  void ShowThreadState(const ThreadState& state) override { Show(m_session.m_data.OnThreadState(state)); }
  void Done(DoneKind kind, bool success, std::unique_ptr<tIdentification> record, std::uint32_t failureCode) override {
    Show(m_session.m_data.OnDone(kind, success, std::move(record), failureCode));
  }
  void DeviceChanged(const std::string& text) override { m_view.DeviceChanged(text); }
  void PollingTrace(const std::string& trace) override { m_view.PollingTrace(trace); }

 private:
  void Show(const ReportOutcome& outcome) {
    m_session.Keep(outcome);
    m_view.ShowReport(outcome);
  }

  CProgramSession& m_session;
  IActionView& m_view;
};

CProgramSession::CProgramSession(CIniFile ini, std::unique_ptr<IDeviceLink> link, bool hasCommandLineDevice,
                                 bool debug, ActionTimings timings)
    : m_ini(std::move(ini)),
      m_link(std::move(link)),
      m_bDebug(debug),
      m_timings(timings),
      m_data(m_ini, hasCommandLineDevice),
      m_pages(m_ini) {
  CProgramRegistry().WriteVersions(ProgramVersionText(),
                                   ModuleVersionText(fennec::LibraryFileVersion(), fennec::LibraryBuildDate()));
}

CProgramSession::~CProgramSession() {
  try {
    m_worker.Wait();
  } catch (...) {
  }
  ClosePort();
}

bool CProgramSession::Begin(SessionAction action) {
  if (m_worker.Running() || !m_data.BeginAction(ActionNumber(action))) return false;
  m_bFailed = false;
  m_strFailureText.clear();
  m_nFailureCode = 0;
  m_failedStep.reset();
  return true;
}

// The worker gets copies of what it needs, as the dialog hands its images to the write thread:
// the front end may go on editing while it runs.
std::function<void(IWorkerReports&)> CProgramSession::WorkerFor(SessionAction action) {
  const std::string orderNumber = m_data.Identification().orderNumber;
  const auto actions = [this](IWorkerReports& reports) {
    return CDeviceActions(m_link->Connection(), m_link->Service(), reports, m_bDebug, m_timings, m_link->Probing());
  };
  switch (action) {
    case SessionAction::Read: return [actions](IWorkerReports& reports) { actions(reports).Read(); };
    case SessionAction::Write:
      return [actions, orderNumber, table0 = m_data.Table0(), table100 = m_data.Table100(),
              asRead = m_readImages](IWorkerReports& reports) {
        actions(reports).Write(orderNumber, table0, table100, asRead);
      };
    case SessionAction::Restart:
      return [actions, orderNumber](IWorkerReports& reports) { actions(reports).Restart(orderNumber); };
    case SessionAction::Default:
      return [actions, orderNumber](IWorkerReports& reports) { actions(reports).Default(orderNumber); };
    case SessionAction::Extract:
      return [actions, orderNumber](IWorkerReports& reports) { actions(reports).Extract(orderNumber); };
    case SessionAction::Format:
      return [actions, orderNumber](IWorkerReports& reports) { actions(reports).Format(orderNumber); };
  }
  return {};
}

void CProgramSession::Keep(const ReportOutcome& outcome) {
  if (!outcome.clockState.empty()) m_strClockState = outcome.clockState;
  if (!outcome.actionEnded || outcome.success) return;
  m_bFailed = true;
  m_strFailureText = outcome.failureText;
  if (m_nFailureCode == 0) m_nFailureCode = outcome.failureCode;
  if (!m_failedStep) m_failedStep = outcome.failedStep;
}

// The pages show the new identification and images only after an identifying action that
// succeeded; after a failure they keep what they had.
bool CProgramSession::End(SessionAction action) {
  const bool succeeded = !m_bFailed;
  if (succeeded && Identifies(action)) {
    m_pagesLeftOut = m_pages.Load(m_data.Identification(), m_data.DevicePages(), m_data.Table0(), m_data.Table100());
    m_readImages = {m_data.Table0(), m_data.Table100()};
  }
  return succeeded;
}

bool CProgramSession::Run(SessionAction action, IActionView& view) {
  if (!Begin(action)) return false;
  CReports reports(*this, view);
  RunOnWorkerThread(WorkerFor(action), reports);
  return End(action);
}

bool CProgramSession::Start(SessionAction action, IActionView& view, ReportDispatcher dispatch,
                            std::function<void(bool succeeded)> ended) {
  if (!Begin(action)) return false;
  m_reports = std::make_unique<CReports>(*this, view);
  return m_worker.Start(WorkerFor(action), *m_reports, std::move(dispatch),
                        [this, action, ended = std::move(ended)] { ended(End(action)); });
}

std::string CProgramSession::ConnectionAdvice() const { return m_link->Connection().GetSystemErrorAdvice(); }

bool CProgramSession::OpenPort() { return lanterna::OpenPort(m_link->Connection()); }

void CProgramSession::ClosePort() { lanterna::ClosePort(m_link->Connection()); }

bool CProgramSession::ReadRegisters(unsigned table, unsigned first, std::span<std::uint16_t> words) {
  return OpenPort() &&
         Service().ReadRegister(0, table, first, static_cast<unsigned>(words.size()), words.data());
}

bool CProgramSession::WriteRegisters(unsigned table, unsigned first, std::span<std::uint16_t> words) {
  return OpenPort() &&
         Service().WriteRegister(0, table, first, static_cast<unsigned>(words.size()), words.data());
}

}  // namespace lanterna
