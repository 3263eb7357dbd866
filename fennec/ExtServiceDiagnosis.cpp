// The terminal-bus and file-system services (groups 2 and 3) of CExtService.
#include <array>

#include "ExtService.h"
#include "Platform/Time.h"
#include "ServiceDecoders.h"

namespace {

// One service runs the terminal-bus monitor; its argument word selects what it does.
constexpr std::uint8_t kMonitorService = 32;
constexpr std::uint16_t kMonitorClear = 0;
constexpr std::uint16_t kMonitorFirst = 1;
constexpr std::uint16_t kMonitorEntry = 2;
constexpr std::uint16_t kMonitorSize = 3;
constexpr std::size_t kMonitorEntryBytes = 12;

}  // namespace

// A failure leaves the outputs as they were.
bool CExtService::TerminalBusReset(std::uint16_t& wError, std::uint16_t& wResult1, std::uint16_t& wResult2) {
  std::array<std::uint16_t, 2> words{};
  if (!CallForWords(SERVICE_GRP_DIAG, 1, {}, words)) return false;
  wError = 0;
  wResult1 = words[0];
  wResult2 = words[1];
  return true;
}

bool CExtService::ClearTerminalBusMonitor() { return CallService(SERVICE_GRP_DIAG, kMonitorService, {kMonitorClear}, {}); }

bool CExtService::ResetTerminalBusMonitorPtr() {
  return CallService(SERVICE_GRP_DIAG, kMonitorService, {kMonitorFirst}, {});
}

bool CExtService::GetTerminalBusMonitorEntry(tKBMonEntry& entry, std::int64_t* pPCTime) {
  std::array<std::uint8_t, kMonitorEntryBytes> bytes{};
  if (!CallService(SERVICE_GRP_DIAG, kMonitorService, {kMonitorEntry}, bytes)) return false;
  // The PC time is the reference the entry's relative ticks are worked back from.
  const std::int64_t now = fennec::platform::CalendarTimeNow();
  entry = *fennec::service::DecodeMonitorEntry(bytes);
  if (pPCTime != nullptr) *pPCTime = now;
  return true;
}

bool CExtService::GetTerminalBusMonitorSize(std::uint16_t& wCount) {
  std::array<std::uint16_t, 1> words{};
  if (!CallForWords(SERVICE_GRP_DIAG, kMonitorService, {kMonitorSize}, words)) return false;
  wCount = words[0];
  return true;
}

bool CExtService::GetServiceState(std::uint8_t byGroup, std::uint8_t byService, tServiceState& state) {
  std::array<std::uint16_t, 3> words{};
  const auto service = static_cast<std::uint16_t>((byService << 8) | byGroup);
  if (!CallForWords(SERVICE_GRP_DIAG, 33, {service}, words)) return false;
  state = {words[0], words[1], words[2]};
  return true;
}

bool CExtService::ExtractFiles(std::uint16_t wValue) { return CallService(SERVICE_GRP_FILE, 1, {wValue}, {}); }

bool CExtService::FormatFlashDisk(std::uint16_t wValue) { return CallService(SERVICE_GRP_FILE, 2, {wValue}, {}); }
