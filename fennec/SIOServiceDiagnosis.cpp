// The terminal-bus and file-system services (groups 2 and 3) of CSIOService.
#include <array>
#include <span>

#include "Common/ErrorCodes.h"
#include "Platform/Time.h"
#include "SIOService.h"
#include "SIOServiceAnswer.h"
#include "ServiceDecoders.h"

namespace {

// One service runs the terminal-bus monitor; its argument word selects what it does.
constexpr std::uint8_t kMonitorService = 32;
constexpr std::uint16_t kMonitorClear = 0;
constexpr std::uint16_t kMonitorFirst = 1;
constexpr std::uint16_t kMonitorEntry = 2;
constexpr std::uint16_t kMonitorSize = 3;
constexpr std::uint16_t kMonitorEntryWords = 6;

}  // namespace

bool CSIOService::TerminalBusReset(std::uint16_t& wError, std::uint16_t& wResult1, std::uint16_t& wResult2) {
  tAnswer answer;
  fennec::Result done = CallService(SERVICE_GRP_DIAG, 1, {}, 2, &answer);
  if (done.Succeeded() && answer.words < 2) done = fennec::Result::Failure(fennec::kCouplerInvalidArgumentCount);
  // On failure too the outputs show the result area, as far as the device filled it.
  std::array<std::uint16_t, 2> results{};
  fennec::service::DecodeWords(answer.bytes, results);
  const bool succeeded = Report(done);
  wError = succeeded ? 0 : static_cast<std::uint16_t>(m_dwLastErrorCode & 0xFFFF);
  wResult1 = results[0];
  wResult2 = results[1];
  return succeeded;
}

bool CSIOService::ClearTerminalBusMonitor() {
  return Report(CallService(SERVICE_GRP_DIAG, kMonitorService, {kMonitorClear}, 0, nullptr));
}

bool CSIOService::ResetTerminalBusMonitorPtr() {
  return Report(CallService(SERVICE_GRP_DIAG, kMonitorService, {kMonitorFirst}, 0, nullptr));
}

bool CSIOService::GetTerminalBusMonitorEntry(tKBMonEntry& entry, std::int64_t* pPCTime) {
  tAnswer answer;
  if (!Report(CallService(SERVICE_GRP_DIAG, kMonitorService, {kMonitorEntry}, kMonitorEntryWords, &answer)))
    return false;
  // The PC time is the reference the entry's relative ticks are worked back from.
  const std::int64_t now = fennec::platform::CalendarTimeNow();
  const auto decoded = fennec::service::DecodeMonitorEntry(answer.Delivered());
  if (!decoded) return Fail(fennec::kCouplerInvalidArgumentCount);
  entry = *decoded;
  if (pPCTime != nullptr) *pPCTime = now;
  return true;
}

bool CSIOService::GetTerminalBusMonitorSize(std::uint16_t& wCount) {
  std::array<std::uint16_t, 1> words{};
  if (!Report(CallForWords(SERVICE_GRP_DIAG, kMonitorService, {kMonitorSize}, words))) return false;
  wCount = words[0];
  return true;
}

bool CSIOService::GetServiceState(std::uint8_t byGroup, std::uint8_t byService, tServiceState& state) {
  std::array<std::uint16_t, 3> words{};
  const auto service = static_cast<std::uint16_t>((byGroup << 8) | byService);
  if (!Report(CallForWords(SERVICE_GRP_DIAG, 33, {service}, words))) return false;
  state = {words[0], words[1], words[2]};
  return true;
}

bool CSIOService::ExtractFiles(std::uint16_t wValue) {
  return Report(CallService(SERVICE_GRP_FILE, 1, {wValue}, 0, nullptr));
}

bool CSIOService::FormatFlashDisk(std::uint16_t wValue) {
  return Report(CallService(SERVICE_GRP_FILE, 2, {wValue}, 0, nullptr));
}
