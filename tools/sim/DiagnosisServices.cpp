#include <array>

#include "ServiceCatalogue.h"

namespace fennec::sim {

namespace {

using Arguments = std::span<const std::uint16_t>;

enum MonitorCommand : std::uint16_t { kClear = 0, kResetPointer = 1, kNextEntry = 2, kSize = 3 };

std::uint16_t Low(std::uint32_t value) { return static_cast<std::uint16_t>(value & 0xFFFF); }
std::uint16_t High(std::uint32_t value) { return static_cast<std::uint16_t>(value >> 16); }

// Six words as the entry lies in memory: event time, code, argument and flags, reference time.
std::vector<std::uint16_t> EntryWords(const TerminalBusMonitor::Entry& entry, std::uint32_t referenceTime) {
  return {Low(entry.eventTime),
          High(entry.eventTime),
          entry.code,
          static_cast<std::uint16_t>(entry.argument | (entry.flags << 8)),
          Low(referenceTime),
          High(referenceTime)};
}

ServiceResult TerminalBusReset(DeviceState& state, Arguments, const Moment& now) {
  const std::uint8_t flags = state.profile.absoluteMonitorTimes ? TerminalBusMonitor::kAbsoluteTimes : 0;
  state.monitor.Add({state.MonitorTime(now), TerminalBusMonitor::kBusResetCode, state.profile.terminalModules, flags});
  return {status::kOk, {state.profile.terminalModules, 0}};
}

ServiceResult TerminalBusMonitorCommand(DeviceState& state, Arguments arguments, const Moment& now) {
  switch (arguments[0]) {
    case kClear:
      state.monitor.Clear();
      return {};
    case kResetPointer:
      state.monitor.ResetPointer();
      return {};
    case kNextEntry: {
      const TerminalBusMonitor::Entry none{0, TerminalBusMonitor::kNoEntryCode, 0, 0};
      return {status::kOk, EntryWords(state.monitor.Next().value_or(none), state.MonitorTime(now))};
    }
    case kSize:
      return {status::kOk, {static_cast<std::uint16_t>(state.monitor.Size())}};
    default:
      return {status::kInvalidArgument, {}};
  }
}

// The service, the state it is in (0x821D while a file job runs, else its last status) and,
// for a file job, how far it got in percent.
ServiceResult GetServiceState(DeviceState& state, Arguments arguments, const Moment& now) {
  const ServiceId service = arguments[0];
  const auto last = state.lastStatus.find(service);
  std::uint16_t serviceState = last == state.lastStatus.end() ? status::kOk : last->second;
  std::uint16_t progress = 0;
  if (state.fileJob && state.fileJob->service == service) {
    serviceState = status::kServiceRunning;
    const auto done = now.steady - state.fileJob->started;
    const auto total = state.fileJob->until - state.fileJob->started;
    progress = static_cast<std::uint16_t>(100 * done / total);
  }
  return {status::kOk, {service, serviceState, progress}};
}

constexpr std::array<ServiceEntry, 3> kDiagnosisServices{{
    {2, 1, 0, "TerminalBusReset", TerminalBusReset},
    {2, 32, 1, "TerminalBusMonitor", TerminalBusMonitorCommand},
    {2, 33, 1, "GetServiceState", GetServiceState},
}};

}  // namespace

std::span<const ServiceEntry> DiagnosisServices() { return kDiagnosisServices; }

}  // namespace fennec::sim
