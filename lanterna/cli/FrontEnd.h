#pragma once

#include <cstddef>
#include <string>

#include "app/ActionView.h"
#include "cli/ProgressLine.h"

namespace lanterna::cli {

// The command line's view of a running action: every new log line and message as it comes.
class CCliFrontEnd : public IActionView {
 public:
  CCliFrontEnd(const CDialogData& data, CProgressLine& log);

  void ShowReport(const ReportOutcome& outcome) override;
  void DeviceChanged(const std::string& text) override;
  void PollingTrace(const std::string& trace) override;

 private:
  void PrintNewLogLines();
  void PrintMessage(const std::string& text);

  const CDialogData& m_data;
  CProgressLine& m_log;
  std::size_t m_nPrinted = 0;
};

}  // namespace lanterna::cli
