#include "WholeDeviceRead.h"

#include <algorithm>

#include "Common/ErrorCodes.h"

namespace fennec::client {

namespace {

constexpr unsigned kCoupler = 0;

std::optional<unsigned> RegisterCount(const std::vector<tFBCTable>& tables, unsigned table) {
  const auto entry = std::find_if(tables.begin(), tables.end(), [table](tFBCTable t) { return t.TableNo() == table; });
  if (entry == tables.end()) return std::nullopt;
  return entry->RegisterCount();
}

// Runs the steps in turn and keeps the first failure.
class Steps {
 public:
  Steps(CServiceBase& service, WholeDeviceRead& read) : m_service(service), m_read(read) {}

  template <typename Call>
  void Run(const char* step, Call call) {
    if (!m_read.Complete() || call()) return;
    Failed(step, m_service.GetLastErrorCode());
  }

  // A service older devices lack: its absence is an answer, not a failure.
  template <typename Call>
  bool RunOptional(const char* step, Call call) {
    if (!m_read.Complete()) return false;
    if (call()) return true;
    if (m_service.GetLastErrorCode() != kCouplerServiceNotSupported) Failed(step, m_service.GetLastErrorCode());
    return false;
  }

  void ReadTable(const char* step, unsigned table, std::vector<std::uint16_t>& words) {
    if (!m_read.Complete()) return;
    const std::optional<unsigned> count = RegisterCount(m_read.tables, table);
    if (!count) return Failed(step, 0);
    words.assign(*count, 0);
    Run(step, [&] { return m_service.ReadRegister(kCoupler, table, 0, *count, words.data()); });
  }

 private:
  void Failed(const char* step, std::uint32_t code) {
    m_read.failedStep = step;
    m_read.failure = code;
  }

  CServiceBase& m_service;
  WholeDeviceRead& m_read;
};

}  // namespace

WholeDeviceRead ReadWholeDevice(CServiceBase& service) {
  WholeDeviceRead read;
  Steps steps(service, read);
  steps.Run("IdentifyDevice", [&] {
    return service.IdentifyDevice(read.orderNumber, read.description, read.hardwareVersion, read.softwareVersion);
  });
  steps.Run("GetSerialNumber", [&] { return service.GetSerialNumber(read.serialNumber); });
  std::string version;
  if (steps.RunOptional("GetFWLVersion", [&] { return service.GetFWLVersion(version); }))
    read.firmwareLoaderVersion = version;
  steps.Run("GetNetworkID", [&] { return service.GetNetworkID(read.networkKind, read.networkValue); });
  std::uint32_t seconds = 0;
  if (steps.RunOptional("GetRealTimeClock", [&] { return service.GetRealTimeClock(seconds, read.timeZone); }))
    read.clockSeconds = seconds;
  steps.Run("GetTableInfo", [&] { return service.GetTableInfo(read.tables); });
  steps.ReadTable("ReadRegister table 0", 0, read.table0);
  steps.ReadTable("ReadRegister table 100", 100, read.table100);
  return read;
}

}  // namespace fennec::client
