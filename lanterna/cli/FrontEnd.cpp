#include "cli/FrontEnd.h"

namespace lanterna::cli {

CCliFrontEnd::CCliFrontEnd(const CDialogData& data, CProgressLine& log) : m_data(data), m_log(log) {}

void CCliFrontEnd::ShowReport(const ReportOutcome& outcome) {
  PrintNewLogLines();
  for (const std::string& message : outcome.messages) PrintMessage(message);
}

void CCliFrontEnd::DeviceChanged(const std::string& text) { PrintMessage(text); }

void CCliFrontEnd::PollingTrace(const std::string& trace) { PrintMessage(trace); }

// The status-line menu's Delete can empty the log; printing goes on from its new end.
void CCliFrontEnd::PrintNewLogLines() {
  const auto& lines = m_data.LogLines();
  if (m_nPrinted > lines.size()) m_nPrinted = 0;
  for (; m_nPrinted < lines.size(); ++m_nPrinted) m_log.LogLine(lines[m_nPrinted]);
}

void CCliFrontEnd::PrintMessage(const std::string& text) {
  m_log.Write("\n" + text + "\n\n");
}

}  // namespace lanterna::cli
