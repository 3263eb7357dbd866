#include "app/DeviceActions.h"

#include <cstdio>

#include "Common/ErrorCodes.h"
#include "Platform/LastError.h"
#include "Platform/Time.h"
#include "base/AddressRegisters.h"
#include "app/IdentificationSequence.h"
#include "base/OrderNumber.h"
#include "base/TextFormat.h"

namespace lanterna {

namespace {

constexpr std::uint16_t kStillRunning = 0x821D;

const char* DeviceChangedLine(Action action) {
  switch (action) {
    case kSoftwareReset: return "The Software-Reset will not be executed.";
    case kFactoryDefaults: return "The connected device will not be set\nback to its factory default settings.";
    case kExtractFiles: return "The file system of the connected\ndevice will not be extracted.";
    case kFormatFlash: return "The file system of the connected\ndevice will not be formatted.";
    default: break;
  }
  return "";
}

bool Fail(tIdentification& record, const char* text) {
  record.description = text;
  return false;
}

// A word the write changed from the image it was edited from (every word without that image).
bool Changed(const std::vector<std::uint16_t>& written, const std::vector<std::uint16_t>& asRead, std::size_t i) {
  return asRead.size() != written.size() || asRead[i] != written[i];
}

}  // namespace

bool HoldsWritten(const tIdentification& record, const std::vector<std::uint16_t>& table0,
                  const std::vector<std::uint16_t>& table100, const ReadImages& asRead) {
  constexpr std::size_t kWrittenOfTable0 = 26;
  if (record.table100.size() != table100.size()) return false;
  for (std::size_t i = 0; i < table100.size(); ++i)
    if (Changed(table100, asRead.table100, i) && record.table100[i] != table100[i]) return false;
  if (table0.size() <= kWrittenOfTable0 || !Changed(table0, asRead.table0, kWrittenOfTable0)) return true;
  return record.table0.size() > kWrittenOfTable0 && record.table0[kWrittenOfTable0] == table0[kWrittenOfTable0];
}

CDeviceActions::CDeviceActions(ORLA::CConnectionBase& connection, CServiceBase& service, IWorkerReports& reports,
                               bool debug, ActionTimings timings, ProbeStyle probing)
    : m_connection(connection),
      m_service(service),
      m_reports(reports),
      m_bDebug(debug),
      m_timings(timings),
      m_probing(probing) {}

CDeviceActions::~CDeviceActions() = default;

void CDeviceActions::Report(Action action, ActionState state, bool subStep, std::uint32_t failureCode) {
  ThreadState report{action, state, subStep, 0};
  if (state == kFailed) {
    report.failureCode = failureCode != 0 ? failureCode : fennec::platform::GetThreadLastError();
    if (m_nFailureCode == 0) m_nFailureCode = report.failureCode;
  }
  m_reports.ShowThreadState(report);
}

void CDeviceActions::Finish(DoneKind kind, bool success, std::unique_ptr<tIdentification> record) {
  std::uint32_t failureCode = 0;
  if (!success) failureCode = m_nFailureCode != 0 ? m_nFailureCode : fennec::platform::GetThreadLastError();
  m_reports.Done(kind, success, std::move(record), failureCode);
}

bool OpenPort(ORLA::CConnectionBase& connection) {
  if (connection.IsOpen()) return true;
  try {
    connection.Open();
    return true;
  } catch (...) {
    return false;
  }
}

bool ClosePort(ORLA::CConnectionBase& connection) {
  if (!connection.IsOpen()) return true;
  try {
    connection.Close();
    return true;
  } catch (...) {
    return false;
  }
}

bool CDeviceActions::OpenPort() { return lanterna::OpenPort(m_connection); }

bool CDeviceActions::ClosePort() { return lanterna::ClosePort(m_connection); }

bool CDeviceActions::Connect(int tries) {
  Report(kConnect, kInProgress);
  bool result = false;
  const bool wasOpen = m_connection.IsOpen();
  if (!wasOpen || ClosePort()) {
    try {
      // Restored also when the port would not open: the probe's short time-out must not outlive it.
      ORLA::CScopedProbeTimeouts probeTimeouts(m_connection);
      const bool openingPerTry = m_probing == ProbeStyle::OpeningPerTry;
      if (openingPerTry || OpenPort()) {
        for (int probe = 0; probe < tries && !result; ++probe) {
          fennec::platform::Sleep(m_timings.probeDelay);
          if (!OpenPort()) continue;
          std::uint16_t word = 0;
          result = m_service.ReadRegister(0, 0, 0, 1, &word);
          if (!result && openingPerTry) ClosePort();
        }
        ClosePort();
      }
    } catch (...) {
      result = false;
    }
    if (result && wasOpen) result = OpenPort();
  }
  Report(kConnect, result ? kDone : kFailed);
  return result;
}

bool CDeviceActions::EnableWriting() {
  Report(kEnableWriting, kInProgress);
  const bool result = m_service.EnableParamWriting(true);
  Report(kEnableWriting, result ? kDone : kFailed);
  return result;
}

std::uint32_t CDeviceActions::PollSaveState() {
  std::string trace;
  std::uint16_t state = 0;
  int counter = 0;
  int reads = 0;
  const auto busyDeadline = std::chrono::steady_clock::now() + m_timings.maxSaveBusyTime;
  bool neverFinished = false;
  while (true) {
    const bool read = m_service.ReadRegister(0, 127, 1, 1, &state);
    ++reads;
    if (m_bDebug) {
      char line[48];
      std::snprintf(line, sizeof line, "%02d. State = %d\n", reads, state);
      trace += line;
    }
    if (!read) break;
    if (state == 0) {
      if (counter == 3) break;
      ++counter;
      fennec::platform::Sleep(m_timings.savePollDelay);
    } else if (state == 1) {
      ++counter;
      if (std::chrono::steady_clock::now() > busyDeadline) {
        neverFinished = true;
        break;
      }
    } else if (state == 2 && counter == 0) {
      if (m_bDebug) trace += "    Remark: DONE as first state!\n";
      fennec::platform::Sleep(m_timings.savePollDelay);
      counter = 1;
    } else {
      break;
    }
  }

  const bool read = m_service.ReadRegister(0, 127, 1, 1, &state);
  const std::uint32_t readFailure = read ? 0 : fennec::platform::GetThreadLastError();
  if (m_bDebug) {
    trace += "State after polling = " + std::to_string(state) + "\n";
    m_reports.PollingTrace(trace);
  }
  // Reported as the device's "still running"; never as "not supported", which would pass.
  if (neverFinished) return fennec::kCouplerServiceBusy;
  return readFailure;
}

bool CDeviceActions::SaveParameters() {
  Report(kSaveParameters, kInProgress);
  std::uint32_t failure = m_service.SaveParameter() ? PollSaveState() : fennec::platform::GetThreadLastError();
  if (failure == fennec::kCouplerServiceNotSupported) failure = 0;
  Report(kSaveParameters, failure == 0 ? kDone : kFailed, true, failure);
  return failure == 0;
}

bool CDeviceActions::RestartDevice() {
  Report(kSoftwareReset, kInProgress);
  const bool result = m_service.RestartSystem();
  Report(kSoftwareReset, result ? kDone : kFailed);
  return result;
}

bool CDeviceActions::FactoryDefaults() {
  Report(kFactoryDefaults, kInProgress);
  const bool result = m_service.SetFactoryDefaults();
  Report(kFactoryDefaults, result ? kDone : kFailed);
  return result;
}

bool CDeviceActions::FileSystemService(Action action, bool (CServiceBase::*call)(std::uint16_t), std::uint16_t value,
                                       std::uint8_t stateService, std::chrono::milliseconds delay) {
  Report(action, kInProgress);
  bool result = (m_service.*call)(value);
  if (!result && m_service.GetLastErrorCode() == fennec::kCouplerServiceBusy) {
    for (int poll = 0;; ++poll) {
      if (poll == m_timings.maxFileSystemPolls) {
        result = false;
        break;
      }
      fennec::platform::Sleep(delay);
      tServiceState state{};
      result = m_service.GetServiceState(CServiceBase::SERVICE_GRP_FILE, stateService, state);
      if (!result || state.wState != kStillRunning) break;
      Report(action, kInProgress);
    }
  }
  Report(action, result ? kDone : kFailed);
  return result;
}

bool CDeviceActions::WriteTable0(const std::vector<std::uint16_t>& image) {
  const unsigned count = TableRegisterCount(m_service, 0);
  return image.size() == count && count >= 27 && m_service.WriteRegister(0, 0, 26, 1, &image[26]);
}

bool CDeviceActions::WriteTable100(const std::vector<std::uint16_t>& image) {
  const unsigned count = TableRegisterCount(m_service, kEthernetTable);
  return image.size() == count && count != 0 && m_service.WriteRegister(0, kEthernetTable, 0, count, image.data());
}

bool CDeviceActions::DeviceUnchanged(const std::string& orderNumber, Action action, tIdentification& record) {
  std::string current, description, hardware, software;
  const bool identified = m_service.IdentifyDevice(current, description, hardware, software);
  if (identified && COrderNumber(orderNumber) == COrderNumber(current)) return true;

  const std::string line = action == kWriteSettings
                               ? FormatText("It is not possible to write the settings\nof a %s to a %s.",
                                            {orderNumber, current})
                               : DeviceChangedLine(action);
  m_reports.DeviceChanged("Connected device was changed!\n\n" + line);
  return Fail(record, "Connected device was changed!");
}

bool CDeviceActions::OpenForAction() {
  if (m_connection.IsOpen()) return true;
  m_bOpenedHere = OpenPort();
  return m_bOpenedHere;
}

void CDeviceActions::EndAction() {
  if (m_bOpenedHere) ClosePort();
  m_bOpenedHere = false;
}

bool CDeviceActions::Read() {
  Report(kIdentify, kInProgress, false);
  auto record = std::make_unique<tIdentification>();
  bool result = false;
  if (!Connect(1))
    Fail(*record, "Connecting device failed!");
  else if (OpenForAction())
    result = IdentifyConnectedDevice(m_service, *record);
  EndAction();
  Finish(DoneKind::Read, result, std::move(record));
  return result;
}

bool CDeviceActions::RestartAndIdentify(tIdentification& record, bool restartFirst) {
  if (restartFirst && !RestartDevice()) return Fail(record, "Software reset failed!");
  if (!Connect(10)) return Fail(record, "Checking connection after SW-Reset failed!");
  return IdentifyConnectedDevice(m_service, record);
}

bool CDeviceActions::Write(const std::string& orderNumber, const std::vector<std::uint16_t>& table0,
                           const std::vector<std::uint16_t>& table100, const ReadImages& asRead) {
  Report(kWriteSettings, kInProgress, false);
  auto record = std::make_unique<tIdentification>();
  const bool result = [&] {
    if (!Connect(1)) return Fail(*record, "Connecting device failed!");
    if (!OpenForAction()) return false;
    if (!DeviceUnchanged(orderNumber, kWriteSettings, *record)) return false;
    if (!EnableWriting()) return Fail(*record, "Enable parametrization service failed!");
    if (!WriteTable0(table0)) return Fail(*record, "Writing common settings failed!");
    if (!WriteTable100(table100)) return Fail(*record, "Writing specific settings failed!");
    if (!SaveParameters()) return Fail(*record, "Saving parameters failed!");
    if (!RestartAndIdentify(*record, true)) return false;
    // A device that lost its power between the writing and the saving is back with its old
    // settings before the repetition of the save, and saves those: the save answers success,
    // and only the tables read after the restart tell.
    if (HoldsWritten(*record, table0, table100, asRead)) return true;
    fennec::platform::SetThreadLastError(0);  // no line or device fault to name
    return Fail(*record, "Checking written settings failed!");
  }();
  EndAction();
  Finish(DoneKind::Write, result, std::move(record));
  return result;
}

bool CDeviceActions::Restart(const std::string& orderNumber) {
  Report(kSoftwareReset, kInProgress, false);
  auto record = std::make_unique<tIdentification>();
  const bool result = [&] {
    if (!Connect(1)) return Fail(*record, "Connecting device failed!");
    if (!OpenForAction()) return false;
    if (!DeviceUnchanged(orderNumber, kSoftwareReset, *record)) return false;
    return RestartAndIdentify(*record, true);
  }();
  EndAction();
  Finish(DoneKind::Restart, result, std::move(record));
  return result;
}

bool CDeviceActions::Default(const std::string& orderNumber) {
  Report(kFactoryDefaults, kInProgress, false);
  auto record = std::make_unique<tIdentification>();
  const bool result = [&] {
    if (!Connect(1)) return Fail(*record, "Connecting device failed!");
    if (!OpenForAction()) return false;
    if (!DeviceUnchanged(orderNumber, kFactoryDefaults, *record)) return false;
    if (!FactoryDefaults()) return false;
    if (!SaveParameters()) return Fail(*record, "Saving parameters failed!");
    return RestartAndIdentify(*record, true);
  }();
  EndAction();
  Finish(DoneKind::Default, result, std::move(record));
  return result;
}

bool CDeviceActions::Extract(const std::string& orderNumber) {
  Report(kExtractFiles, kInProgress, false);
  tIdentification unused;
  const bool result = Connect(1) && OpenForAction() && DeviceUnchanged(orderNumber, kExtractFiles, unused) &&
                      FileSystemService(kExtractFiles, &CServiceBase::ExtractFiles, 0xFFFF, 1,
                                        m_timings.extractPollDelay);
  EndAction();
  Report(kExtractFiles, result ? kDone : kFailed, false);
  return result;
}

bool CDeviceActions::Format(const std::string& orderNumber) {
  Report(kFormatFlash, kInProgress, false);
  tIdentification unused;
  const bool result = Connect(1) && OpenForAction() && DeviceUnchanged(orderNumber, kFormatFlash, unused) &&
                      FileSystemService(kFormatFlash, &CServiceBase::FormatFlashDisk, 0, 2, m_timings.formatPollDelay);
  EndAction();
  Report(kFormatFlash, result ? kDone : kFailed, false);
  return result;
}

}  // namespace lanterna
