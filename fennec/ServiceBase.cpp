#include "ServiceBase.h"

#include <span>

#include "KBMonitor.h"
#include "Platform/LastError.h"

namespace {

// Empty entries do not count towards the monitor's size; a device that delivers nothing else
// must not keep the reading going for ever.
constexpr unsigned kMaxEmptyEntriesInARow = 16;

}  // namespace

bool CServiceBase::GetTerminalBusMonitorEntryEx(tKBMonEntryEx& entry) {
  tKBMonEntry delivered{};
  std::int64_t now = 0;
  if (!GetTerminalBusMonitorEntry(delivered, &now)) return false;
  entry = fennec::kbmon::ExtendEntry(delivered, now);
  return true;
}

bool CServiceBase::GetTerminalBusMonitorEntries(std::vector<tKBMonEntryEx>& entries) {
  std::uint16_t remaining = 0;
  if (!ResetTerminalBusMonitorPtr() || !GetTerminalBusMonitorSize(remaining)) return false;
  const std::size_t alreadyThere = entries.size();
  unsigned emptyInARow = 0;
  while (remaining > 0 && emptyInARow < kMaxEmptyEntriesInARow) {
    tKBMonEntryEx entry{};
    if (!GetTerminalBusMonitorEntryEx(entry)) {
      entries.resize(alreadyThere);
      return false;
    }
    if (entry.wCode == fennec::kbmon::kEmptyEntryCode) {
      ++emptyInARow;
      continue;
    }
    emptyInARow = 0;
    --remaining;
    entries.push_back(entry);
  }
  fennec::kbmon::SettleTimeValidity(std::span(entries).subspan(alreadyThere));
  return true;
}

std::uint32_t CServiceBase::GetLastErrorCode() { return m_dwLastErrorCode; }

void CServiceBase::ResetLastErrorCode() {
  m_dwLastErrorCode = 0;
  fennec::platform::SetThreadLastError(0);
}

bool CServiceBase::Fail(std::uint32_t code) {
  m_dwLastErrorCode = code;
  fennec::platform::SetThreadLastError(code);
  return false;
}

bool CServiceBase::Report(fennec::Result result) {
  if (const auto code = result.Code()) Fail(*code);
  return result.Succeeded();
}
