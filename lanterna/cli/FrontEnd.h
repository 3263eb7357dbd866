#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "app/DialogData.h"
#include "app/WorkerReports.h"

namespace lanterna::cli {

// The command line's front end: it handles the worker's reports on the main thread, feeds
// them to the dialog data and prints every new log line and message as it comes.
class CCliFrontEnd : public IWorkerReports {
 public:
  CCliFrontEnd(CDialogData& data, std::ostream& log);

  // Starts an action as the dialog does (busy flag, buttons); false while one runs.
  bool BeginAction(int action);

  void ShowThreadState(int action, std::uint32_t state) override;
  void Done(DoneKind kind, bool success, std::unique_ptr<tIdentification> record) override;
  void DeviceChanged(const std::string& text) override;
  void PollingTrace(const std::string& trace) override;

  // How the last action ended: the text the dialog's page would show for a failure.
  bool Failed() const { return m_bFailed; }
  const std::string& FailureText() const { return m_strFailure; }
  // What the last identification said about the device's clock; the dialog data keeps no copy.
  const std::string& ClockState() const { return m_strClockState; }

  // The log as lines.
  std::vector<std::string> LogLines() const;

 private:
  void Ended(const ReportOutcome& outcome, const std::string& failureText);
  void PrintNewLogLines();
  void PrintMessage(const std::string& text);

  CDialogData& m_data;
  std::ostream& m_log;
  std::size_t m_nPrinted = 0;
  bool m_bFailed = false;
  std::string m_strFailure;
  std::string m_strClockState;
};

}  // namespace lanterna::cli
