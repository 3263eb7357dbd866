#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "Communication/ConnectionBase.h"
#include "ServiceBase.h"
#include "app/DeviceLink.h"
#include "app/WorkerReports.h"

namespace lanterna {

// The fixed waits of the device actions; tests shorten them.
struct ActionTimings {
  std::chrono::milliseconds probeDelay{500};
  std::chrono::milliseconds savePollDelay{500};
  std::chrono::milliseconds extractPollDelay{2000};
  std::chrono::milliseconds formatPollDelay{500};
  // A device that still reports "saving" (state 1) after this long has not saved.
  std::chrono::milliseconds maxSaveBusyTime{60000};
  // Extract and format are polled at most this often before the action counts as failed.
  int maxFileSystemPolls = 900;
};

// The images the settings were edited from. After its restart a write checks only the words it
// changed: a device that keeps a register of its own up to date (an address a server gave it)
// must not fail every write. Without them every written word is checked.
struct ReadImages {
  std::vector<std::uint16_t> table0;
  std::vector<std::uint16_t> table100;
};

// Whether the device, as identified after a write's restart, holds what was written: every word
// of table 100 and register 26 of table 0 that the write changed from asRead.
bool HoldsWritten(const tIdentification& record, const std::vector<std::uint16_t>& table0,
                  const std::vector<std::uint16_t>& table100, const ReadImages& asRead);

// Opens or closes the connection unless it already is; false, with the failure code stored by
// the transport, when it cannot.
bool OpenPort(ORLA::CConnectionBase& connection);
bool ClosePort(ORLA::CConnectionBase& connection);

// The worker side of one device action: the exact sequence of connection and service calls, the
// state reports and the failure texts. Runs on a worker thread; reports block until handled.
class CDeviceActions {
 public:
  CDeviceActions(ORLA::CConnectionBase& connection, CServiceBase& service, IWorkerReports& reports,
                 bool debug = false, ActionTimings timings = {}, ProbeStyle probing = ProbeStyle::OneOpening);
  ~CDeviceActions();
  CDeviceActions(const CDeviceActions&) = delete;
  CDeviceActions& operator=(const CDeviceActions&) = delete;

  bool Read();
  bool Write(const std::string& orderNumber, const std::vector<std::uint16_t>& table0,
             const std::vector<std::uint16_t>& table100, const ReadImages& asRead = {});
  bool Restart(const std::string& orderNumber);
  bool Default(const std::string& orderNumber);
  bool Extract(const std::string& orderNumber);
  bool Format(const std::string& orderNumber);

  // Building blocks, in the order the actions use them.
  bool Connect(int tries);
  bool OpenPort();
  bool ClosePort();
  bool EnableWriting();
  bool SaveParameters();
  bool RestartDevice();
  bool FactoryDefaults();
  bool WriteTable0(const std::vector<std::uint16_t>& image);
  bool WriteTable100(const std::vector<std::uint16_t>& image);
  bool DeviceUnchanged(const std::string& orderNumber, Action action, tIdentification& record);

 private:
  // A failed step reports the code given, else the worker thread's last error; the first one
  // travels with the action's end.
  void Report(Action action, ActionState state, bool subStep = true, std::uint32_t failureCode = 0);
  void Finish(DoneKind kind, bool success, std::unique_ptr<tIdentification> record);
  // 0 once the device has saved, else the failure's code.
  std::uint32_t PollSaveState();
  bool FileSystemService(Action action, bool (CServiceBase::*call)(std::uint16_t), std::uint16_t value,
                         std::uint8_t stateService, std::chrono::milliseconds delay);
  bool OpenForAction();
  void EndAction();
  bool RestartAndIdentify(tIdentification& record, bool restartFirst);

  ORLA::CConnectionBase& m_connection;
  CServiceBase& m_service;
  IWorkerReports& m_reports;
  bool m_bDebug;
  ActionTimings m_timings;
  ProbeStyle m_probing;
  bool m_bOpenedHere = false;
  std::uint32_t m_nFailureCode = 0;
};

}  // namespace lanterna
