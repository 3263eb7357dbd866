#include "app/DialogData.h"

#include "app/Admissibility.h"
#include "base/TextFormat.h"

namespace lanterna {

namespace {

std::string WithoutError(std::string text) {
  if (const auto at = text.find("ERROR:"); at != std::string::npos) text.erase(at, 6);
  return text;
}

std::string WithoutLeadingBlanks(const std::string& text) {
  const auto first = text.find_first_not_of(' ');
  return first == std::string::npos ? std::string() : text.substr(first);
}

std::string FirstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

}  // namespace

CDialogData::CDialogData(const CIniFile& ini, bool hasCommandLineDevice)
    : m_ini(ini), m_bCommandLineDevice(hasCommandLineDevice) {
  m_strDeviceLine = FormatText("Welcome to ORLA Lanterna %s", {kProductVersion});
  m_strStatus = "Please select a COM-Port and click 'Read'.";
  m_buttons = {.exit = true, .read = true, .comPort = !hasCommandLineDevice};
}

void CDialogData::AddLog(const std::string& text) {
  m_strStatus = WithoutLeadingBlanks(text);
  m_log.push_back(text);
}

std::string CDialogData::LogText() const {
  std::string text;
  for (const std::string& line : m_log) {
    if (&line != &m_log.front()) text += "\r\n";
    text += line;
  }
  return text;
}

void CDialogData::ClearLog() {
  m_log.clear();
  AddLog("Ready");
}

bool CDialogData::BeginAction(int action) {
  if (m_bBusy) return false;
  m_bBusy = true;
  if (action == kIdentify) {
    ClearIdentification();
    m_nModified = 0;
  }
  m_buttons = {};
  return true;
}

void CDialogData::SetModified(std::uint32_t flag) {
  if (flag != 0) {
    if (m_strTitle.find(" *") == std::string::npos) m_strTitle += " *";
  } else {
    m_strTitle = kTitle;
  }
  m_nModified = flag;
  m_buttons.write = flag != 0;
}

void CDialogData::EnableAll(bool enable) {
  const bool fileSystem = enable && m_nIs32 != 0;
  const bool write = m_buttons.write;
  m_buttons = {.exit = enable, .read = enable, .write = write, .restart = enable, .defaults = enable,
               .extract = fileSystem, .format = fileSystem, .comPort = enable && !m_bCommandLineDevice};
}

void CDialogData::EnableAfterFailure() {
  m_buttons.exit = m_buttons.read = m_buttons.restart = true;
  if (!m_bCommandLineDevice) m_buttons.comPort = true;
}

void CDialogData::ReduceToFirstPage() {
  m_shownKeys = {"COMMON"};
  m_nActivePage = 0;
}

void CDialogData::ClearIdentification() {
  m_identification = {};
  m_nIs32 = 0;
  m_nIsPFC = 0;
}

ReportOutcome CDialogData::OnThreadState(const ThreadState& state) {
  const bool subStep = state.subStep;
  const int value = state.state;
  switch (value) {
    case kInProgress:
      m_bBusy = true;
      break;
    case kDone:
      m_bBusy = subStep;
      EnableAll(true);
      break;
    default:
      m_bBusy = false;
      EnableAfterFailure();
      break;
  }

  ReportOutcome outcome;
  outcome.logLine = StateLine(state.action, value, subStep);
  AddLog(outcome.logLine);
  if (!m_bBusy) {
    outcome.actionEnded = true;
    outcome.success = value == kDone && !subStep;
    if (outcome.success) {
      m_shownKeys = lanterna::ShownPageKeys(m_deviceKeys, m_nIs32, m_nIsPFC);
    } else {
      ReduceToFirstPage();
      outcome.pageStateText = WithoutError(outcome.logLine);
      outcome.failureText = WithoutLeadingBlanks(outcome.pageStateText);
      outcome.failureCode = state.failureCode;
      outcome.failedStep = state.action;
    }
  }
  return outcome;
}

bool CDialogData::ApplyIdentification(const tIdentification& record, std::vector<std::string>& messages) {
  ClearIdentification();
  m_nModified = 0;
  m_identification = record;
  m_identification.clockState.clear();
  m_identification.table0.clear();
  m_identification.table100.clear();
  if (!record.orderNumber.empty() && !record.description.empty())
    m_strDeviceLine = FormatText(" %s, %s", {record.orderNumber, record.description});

  const std::string previousActiveKey = m_nActivePage < m_deviceKeys.size() ? m_deviceKeys[m_nActivePage] : "";
  const OrderNumberVerdict orderNumber = CheckOrderNumber(m_ini, record);
  m_deviceKeys = lanterna::DevicePageKeys(m_ini, record);
  if (m_nActivePage >= m_deviceKeys.size() || m_deviceKeys[m_nActivePage] != previousActiveKey) m_nActivePage = 0;

  bool passed = orderNumber.passed;
  if (orderNumber.message) messages.push_back(*orderNumber.message);
  for (const std::string& line : orderNumber.logLines) AddLog(line);
  m_nIs32 = orderNumber.is32;
  m_nIsPFC = orderNumber.isPFC;
  if (passed) {
    const Verdict firmware = CheckFirmware(m_ini, record);
    for (const std::string& line : firmware.logLines) AddLog(line);
    if (firmware.message) messages.push_back(*firmware.message);
    passed = firmware.passed;
  }
  if (passed) m_shownKeys = lanterna::ShownPageKeys(m_deviceKeys, m_nIs32, m_nIsPFC);

  if (!record.table0.empty()) m_table0 = record.table0;
  if (!record.table100.empty()) m_table100 = record.table100;
  return passed;
}

ReportOutcome CDialogData::OnDone(DoneKind kind, bool success, std::unique_ptr<tIdentification> record,
                                  std::uint32_t failureCode) {
  ReportOutcome outcome;
  if (record) outcome.clockState = record->clockState;
  // A failed step leaves its failure text in the record; a device that is not admitted leaves
  // its description there, so the first line of the check's message says why instead.
  if (!success) {
    outcome.failureText = record ? record->description : std::string();
    outcome.failureCode = failureCode;
  }
  if (success && record) {
    success = ApplyIdentification(*record, outcome.messages);
    if (!success) outcome.failureText = outcome.messages.empty() ? DoneLine(kind, false) : FirstLine(outcome.messages.front());
  }

  outcome.actionEnded = true;
  outcome.success = success;
  if (success) {
    EnableAll(true);
  } else {
    ReduceToFirstPage();
    outcome.pageStateText = record ? record->description : std::string();
    EnableAll(false);
    EnableAfterFailure();
  }
  outcome.logLine = DoneLine(kind, success);
  AddLog(outcome.logLine);
  if (kind == DoneKind::Read || success) SetModified(0);
  m_bBusy = false;
  return outcome;
}

}  // namespace lanterna
