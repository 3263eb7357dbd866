#include "DeviceModel.h"

#include "DeviceStatus.h"
#include "DeviceTelegram.h"
#include "HexText.h"
#include "ServiceTable.h"

namespace fennec::sim {

namespace {

std::string Describe(const RegisterRequest& request) {
  return std::string(request.write ? "write" : "read") + " table " + std::to_string(request.table) + " from " +
         std::to_string(request.firstRegister) + ", " + std::to_string(request.count) + " register(s)";
}

DeviceModel::Exchange Rejected(const RegisterRequest& request, std::uint16_t code) {
  return {BuildRejection(request, code), Describe(request) + ": rejected with 0x" + Hex4(code)};
}

DeviceModel::Exchange Silent(std::string why) { return {std::nullopt, "no answer: " + std::move(why)}; }

}  // namespace

DeviceModel::DeviceModel(Profile profile, DeviceTimings timings, NonVolatileMemory memory, const Moment& now)
    : m_state(std::move(profile), timings, std::move(memory)) {
  PowerUp(now);
}

// A start reloads the parameter tables from the non-volatile memory and forgets everything
// volatile; the clock and the monitor's retained entries carry on.
void DeviceModel::PowerUp(const Moment& at) {
  DeviceState& state = m_state;
  state.tables = RegisterTables();
  for (const auto& [table, words] : state.memory.Content().tables) state.tables.Define(table, words);
  for (const auto& [table, words] : state.profile.deviceTables) state.tables.Define(table, words);
  for (const auto& [table, words] : state.profile.scratchTables) state.tables.Define(table, words);
  state.tables.Define(kServiceTable, TableImage(kServiceTableSize, 0));
  state.writeEnabled = false;
  state.switches = {};
  state.saveDoneAt.reset();
  state.fileJob.reset();
  state.restartRequestedAt.reset();
  state.lastStatus.clear();
  state.startedAt = at;
  m_extended.Forget();
  const std::uint8_t flags = state.profile.absoluteMonitorTimes ? TerminalBusMonitor::kAbsoluteTimes : 0;
  state.monitor.Add({state.MonitorTime(at), TerminalBusMonitor::kStartCode, TerminalBusMonitor::kStartArgument, flags});
  m_silentUntil.reset();
}

// Work that ended between two requests is finished when the next one arrives, in the order
// it would have happened.
void DeviceModel::CatchUp(const Moment& now) {
  DeviceState& state = m_state;
  if (state.restartRequestedAt && now.steady >= state.restartRequestedAt->steady + state.timings.restartGrace) {
    m_silentUntil = *state.restartRequestedAt + state.timings.restartGrace + state.timings.restartSilence;
    state.restartRequestedAt.reset();
  }
  if (m_silentUntil && now.steady >= m_silentUntil->steady) PowerUp(*m_silentUntil);
  if (state.fileJob && now.steady >= state.fileJob->until) {
    state.lastStatus[state.fileJob->service] = status::kOk;
    state.fileJob.reset();
  }
  if (state.tables.Size(kStateTable) > kSaveStateRegister)
    state.tables.SetWord(kStateTable, kSaveStateRegister, state.SaveState(now));
}

const DeviceState& DeviceModel::StateAt(const Moment& now) {
  CatchUp(now);
  return m_state;
}

bool DeviceModel::Restarting(const Moment& now) {
  CatchUp(now);
  return m_silentUntil.has_value();
}

DeviceModel::Exchange DeviceModel::Handle(std::span<const std::uint8_t> telegram, const Moment& now) {
  if (Restarting(now)) return Silent("restarting");
  if (IsExtendedFrame(telegram)) return HandleExtended(telegram, now);
  // A register telegram ends any extended message: its repetition is never answered from an
  // older state.
  m_extended.Forget();
  const ParsedRequest parsed = ParseRequest(telegram);
  switch (parsed.fault) {
    case RequestFault::Length:
      return Silent("length does not fit");
    case RequestFault::Checksum:
      return Silent("checksum wrong");
    case RequestFault::NotRegisterTelegram:
      return Silent("not a register telegram");
    case RequestFault::Count:
      return Rejected(parsed.request, status::kInvalidRegisterCount);
    case RequestFault::None:
      break;
  }
  const RegisterRequest& request = parsed.request;
  if (const auto refusal = RefusalOf(request)) return Rejected(request, *refusal);
  if (request.write) {
    std::string note = WriteEffects(request, now);
    return {BuildWriteAnswer(request), std::move(note)};
  }
  std::vector<std::uint8_t> answer =
      BuildReadAnswer(request, m_state.tables.Run(request.table, request.firstRegister, request.count));
  return {std::move(answer), ReadEffects(request, now)};
}

DeviceModel::RegisterAccess DeviceModel::AccessRegisters(const RegisterRequest& request, const Moment& now) {
  if (const auto refusal = RefusalOf(request))
    return {*refusal, {}, Describe(request) + ": rejected with 0x" + Hex4(*refusal)};
  if (request.write) return {status::kOk, {}, WriteEffects(request, now)};
  const auto run = m_state.tables.Run(request.table, request.firstRegister, request.count);
  std::vector<std::uint16_t> words(run.begin(), run.end());
  return {status::kOk, std::move(words), ReadEffects(request, now)};
}

DeviceState& DeviceModel::StateToChange(const Moment& now) {
  CatchUp(now);
  return m_state;
}

bool DeviceModel::GoDownForRestart(const Moment& now) {
  if (!m_state.restartRequestedAt) return false;
  m_silentUntil = now + m_state.timings.restartSilence;
  m_state.restartRequestedAt.reset();
  return true;
}

void DeviceModel::PowerFail(const Moment& now) {
  m_state.restartRequestedAt.reset();
  m_silentUntil = now + m_state.timings.restartSilence;
}

std::optional<std::uint16_t> DeviceModel::Refusal(unsigned device, unsigned table, unsigned first, unsigned count,
                                                   bool write) const {
  if (device != 0) return status::kNoModuleRegisters;
  if (table > 0xFF) return status::kInvalidTable;
  const auto key = static_cast<std::uint8_t>(table);
  if (const auto injected = m_rejections.ForRun(key, first, count)) return injected;
  if (const std::uint16_t code = m_state.tables.CheckRun(key, first, count); code != status::kOk) return code;
  if (!write) return std::nullopt;
  if (m_state.profile.deviceTables.contains(key)) return status::kTableProtected;
  if (m_state.profile.parameterTables.contains(key) && !m_state.writeEnabled) return status::kWriteDisabled;
  return std::nullopt;
}

std::optional<std::uint16_t> DeviceModel::RefusalOf(const RegisterRequest& request) const {
  return Refusal(request.device, request.table, request.firstRegister, request.count, request.write);
}

// A restart goes down once its response has been fetched.
std::string DeviceModel::ReadEffects(const RegisterRequest& request, const Moment& now) {
  std::string note = Describe(request);
  if (request.table == kServiceTable && GoDownForRestart(now)) note += "; restarting";
  return note;
}

// A write to register 0 of table 99 submits a service request; its response block replaces it.
std::string DeviceModel::WriteEffects(const RegisterRequest& request, const Moment& now) {
  m_state.tables.Write(request.table, request.firstRegister, request.words);
  std::string note = Describe(request);
  if (request.table == kServiceTable && request.firstRegister == 0) {
    const ServiceOutcome outcome = RunServiceRequest(m_state, request.words, m_rejections, now);
    m_state.tables.Write(kServiceTable, 0, ResponseBlock(outcome));
    note += "; service " + std::to_string(outcome.requestWord & 0xFF) + "/" + std::to_string(outcome.requestWord >> 8) +
            " " + outcome.name + ": status 0x" + Hex4(outcome.result.status);
  }
  return note;
}

}  // namespace fennec::sim
