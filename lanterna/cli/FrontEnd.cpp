#include "cli/FrontEnd.h"

namespace lanterna::cli {

namespace {

constexpr std::string_view kLogSeparator = "\r\n";

std::string FirstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

std::string WithoutLeadingBlanks(const std::string& text) {
  const auto first = text.find_first_not_of(' ');
  return first == std::string::npos ? std::string() : text.substr(first);
}

}  // namespace

CCliFrontEnd::CCliFrontEnd(CDialogData& data, std::ostream& log) : m_data(data), m_log(log) {}

bool CCliFrontEnd::BeginAction(int action) {
  if (!m_data.BeginAction(action)) return false;
  m_bFailed = false;
  m_strFailure.clear();
  return true;
}

void CCliFrontEnd::ShowThreadState(int action, std::uint32_t state) {
  const ReportOutcome outcome = m_data.OnThreadState(action, state);
  PrintNewLogLines();
  if (outcome.actionEnded) Ended(outcome, WithoutLeadingBlanks(outcome.pageStateText));
}

void CCliFrontEnd::Done(DoneKind kind, bool success, std::unique_ptr<tIdentification> record) {
  if (record) m_strClockState = record->clockState;
  // A failed step leaves its failure text in the record; a device that is not admitted leaves
  // its description there, so the first line of the check's message says why instead.
  std::string failureText = record && !success ? record->description : std::string();
  const ReportOutcome outcome = m_data.OnDone(kind, success, std::move(record));
  PrintNewLogLines();
  for (const std::string& message : outcome.messages) PrintMessage(message);
  if (success && !outcome.success)
    failureText = outcome.messages.empty() ? DoneLine(kind, false) : FirstLine(outcome.messages.front());
  Ended(outcome, failureText);
}

void CCliFrontEnd::DeviceChanged(const std::string& text) { PrintMessage(text); }

void CCliFrontEnd::PollingTrace(const std::string& trace) { PrintMessage(trace); }

void CCliFrontEnd::Ended(const ReportOutcome& outcome, const std::string& failureText) {
  if (outcome.success) return;
  m_bFailed = true;
  m_strFailure = failureText;
}

std::vector<std::string> CCliFrontEnd::LogLines() const {
  std::vector<std::string> lines;
  const std::string& log = m_data.LogText();
  if (log.empty()) return lines;
  std::size_t start = 0;
  for (auto end = log.find(kLogSeparator); end != std::string::npos; end = log.find(kLogSeparator, start)) {
    lines.push_back(log.substr(start, end - start));
    start = end + kLogSeparator.size();
  }
  lines.push_back(log.substr(start));
  return lines;
}

void CCliFrontEnd::PrintNewLogLines() {
  const std::vector<std::string> lines = LogLines();
  for (; m_nPrinted < lines.size(); ++m_nPrinted) m_log << lines[m_nPrinted] << '\n';
  m_log.flush();
}

void CCliFrontEnd::PrintMessage(const std::string& text) {
  m_log << "\n" << text << "\n\n";
  m_log.flush();
}

}  // namespace lanterna::cli
