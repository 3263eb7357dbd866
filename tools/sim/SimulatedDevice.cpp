#include "SimulatedDevice.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <system_error>

#include "HexText.h"
#include "LinePacing.h"
#include "ProtocolTable.h"
#include "RequestAssembler.h"
#include "TableNumbers.h"

namespace fennec::sim {

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// How long a read waits before the thread looks at its stop flag again.
constexpr auto kReadSlice = 50ms;
// A telegram whose bytes stop coming for this long is given up.
constexpr auto kReceiverReset = 100ms;
// An answer the client does not take within this time is given up.
constexpr auto kWriteLimit = 1s;
// Longer than the pseudo-terminal takes to move written bytes into the client's queue.
constexpr auto kSettleTime = 20ms;

NonVolatileMemory OpenMemory(const SimulatorOptions& options) {
  return NonVolatileMemory(options.profile, options.stateFile);
}

std::optional<std::size_t> ExtendedData(const Profile& profile) {
  const auto table = profile.deviceTables.find(kProtocolTable);
  if (table == profile.deviceTables.end()) return std::nullopt;
  return LimitsOf(table->second).fragmentSize;
}

}  // namespace

SimulatedDevice::SimulatedDevice(SimulatorOptions options)
    : m_baud(options.baud),
      m_extendedData(ExtendedData(options.profile)),
      m_log(std::move(options.log)),
      m_model(options.profile, options.timings, OpenMemory(options), Moment::Now()),
      m_faults(options.lineFaults),
      m_lineReplaced(std::move(options.lineReplaced)),
      m_framed(m_model, options.framedFragmentSize),
      m_networkFaults(options.networkFaults) {
  const DeviceState& state = m_model.StateAt(Moment::Now());
  m_startReport = state.memory.LoadReport();
  m_memoryUsable = state.memory.LoadedFrom() != NonVolatileMemory::Origin::OtherProfile;
  m_model.DeviceRejections() = std::move(options.rejections);
  m_model.ExtendedFaults() = options.extFaults;
  if (options.randomFaults.rate > 0) m_random.emplace(options.randomFaults);
}

SimulatedDevice::~SimulatedDevice() { Stop(); }

bool SimulatedDevice::Start() {
  if (!m_memoryUsable || m_pty) return false;
  try {
    m_pty = std::make_unique<platform::PseudoTerminal>(platform::PseudoTerminal::Start::Raw,
                                                       platform::PseudoTerminal::Slave::Held);
  } catch (const std::system_error& failure) {
    m_startReport = std::string("no pseudo-terminal could be created: ") + failure.what();
    return false;
  }
  m_slavePath = m_pty->SlavePath();
  m_linePath = m_slavePath;
  m_startedAt = Clock::now();
  m_thread = std::thread([this] { Run(); });
  return true;
}

void SimulatedDevice::Stop() {
  {
    std::lock_guard lock(m_mutex);
    m_stopping = true;
  }
  m_wake.notify_all();
  if (m_thread.joinable()) m_thread.join();
  if (m_tcp) m_tcp->Stop();
}

void SimulatedDevice::DropNext(unsigned requests) {
  ChangeFaults([&](LineFaults& faults) { faults.dropNext = requests; });
}

void SimulatedDevice::CorruptNextChecksums(unsigned answers) {
  ChangeFaults([&](LineFaults& faults) { faults.corruptNext = answers; });
}

void SimulatedDevice::WrongStartNext(unsigned answers) {
  ChangeFaults([&](LineFaults& faults) { faults.wrongStartNext = answers; });
}

void SimulatedDevice::EchoNext(unsigned answers) {
  ChangeFaults([&](LineFaults& faults) { faults.echoNext = answers; });
}

void SimulatedDevice::SetAnswerDelay(std::chrono::milliseconds delay) {
  ChangeFaults([&](LineFaults& faults) { faults.delay = delay; });
}

void SimulatedDevice::CutLineAfter(unsigned exchanges) {
  ChangeFaults([&](LineFaults& faults) { faults.cutAfter = m_exchanges + std::max(exchanges, 1u); });
}

void SimulatedDevice::ResetAfter(unsigned exchanges) {
  ChangeFaults([&](LineFaults& faults) { faults.resetAfter = m_exchanges + std::max(exchanges, 1u); });
}

void SimulatedDevice::SetRandomFaults(const RandomFaults& faults) {
  ChangeFaults([&](LineFaults&) {
    m_random.reset();
    if (faults.rate > 0) m_random.emplace(faults);
  });
}

unsigned SimulatedDevice::Struck(RandomFault kind) const {
  std::lock_guard lock(m_mutex);
  return m_struck[static_cast<std::size_t>(kind)];
}

std::string SimulatedDevice::LinePath() const {
  std::lock_guard lock(m_mutex);
  return m_linePath;
}

void SimulatedDevice::RejectService(std::uint8_t group, std::uint8_t number, std::uint16_t status) {
  ChangeFaults([&](LineFaults&) { m_model.DeviceRejections().services.push_back({group, number, status}); });
}

void SimulatedDevice::RejectRegisters(std::uint8_t table, unsigned first, unsigned last, std::uint16_t status) {
  ChangeFaults([&](LineFaults&) { m_model.DeviceRejections().ranges.push_back({table, first, last, status}); });
}

void SimulatedDevice::SetExtFaults(const ExtFaults& faults) {
  ChangeFaults([&](LineFaults&) { m_model.ExtendedFaults() = faults; });
}

void SimulatedDevice::ClearFaults() {
  ChangeFaults([&](LineFaults& faults) {
    faults = {};
    m_random.reset();
    m_networkFaults = {};
    m_model.DeviceRejections() = {};
    m_model.ExtendedFaults() = {};
  });
}

void SimulatedDevice::ChangeFaults(const std::function<void(LineFaults&)>& change) {
  std::lock_guard lock(m_mutex);
  change(m_faults);
}

unsigned SimulatedDevice::Exchanges() const {
  std::lock_guard lock(m_mutex);
  return m_exchanges;
}

void SimulatedDevice::Run() {
  RequestAssembler assembler(m_extendedData);
  std::array<std::uint8_t, 256> chunk{};
  Clock::time_point firstByteAt;
  Clock::time_point lastByteAt;
  for (;;) {
    {
      std::lock_guard lock(m_mutex);
      if (m_stopping) return;
    }
    const auto result = m_pty->Master().ReadSome(chunk, Clock::now() + kReadSlice);
    const auto now = Clock::now();
    if (result.status == platform::ByteLine::ReadStatus::Closed) {
      Log("the line failed");
      return;
    }
    if (result.status == platform::ByteLine::ReadStatus::Timeout) {
      if (m_pty->ReleaseAbandonedSlave()) Log("the client went away holding the line: its exclusive flag cleared");
      if (assembler.HasPartial() && now - lastByteAt >= kReceiverReset)
        Log("incomplete request dropped (" + std::to_string(assembler.DiscardPartial()) + " bytes)");
      continue;
    }
    m_bytesOnLine += result.count;
    if (!assembler.HasPartial()) firstByteAt = now;
    lastByteAt = now;
    assembler.Feed(std::span(chunk).first(result.count));
    const unsigned line = m_hangUps;
    while (const auto telegram = assembler.Next()) {
      if (!Serve(*telegram, firstByteAt)) return;
      firstByteAt = now;
      // Whatever else came on a line that has been hung up went with it.
      if (m_hangUps != line) {
        assembler = RequestAssembler(m_extendedData);
        break;
      }
    }
  }
}

// One request: the device handles it (unless the line loses it), the answer waits for the
// request's own wire time and any injected delay, then goes out at the line's pace.
bool SimulatedDevice::Serve(const std::vector<std::uint8_t>& request, Clock::time_point firstByteAt) {
  std::optional<std::vector<std::uint8_t>> answer;
  std::string note;
  std::chrono::milliseconds delay{0};
  FaultDraw strike;
  bool cut = false;
  {
    std::lock_guard lock(m_mutex);
    ++m_exchanges;
    if (m_random) strike = m_random->Next();
    ++m_struck[static_cast<std::size_t>(strike.fault)];
    if (strike.fault == RandomFault::Drop || LoseRequest(m_faults)) {
      note = "request lost on the line (injected)";
    } else {
      DeviceModel::Exchange exchange = m_model.Handle(request, Moment::Now());
      note = std::move(exchange.note);
      if (exchange.answer)
        answer = StrikeAnswer(strike, DamageAnswer(m_faults, std::move(*exchange.answer), request), request);
    }
    if (m_faults.resetAfter && m_exchanges >= *m_faults.resetAfter) {
      m_faults.resetAfter.reset();
      m_model.PowerFail(Moment::Now());
      note += "; the power fails (injected)";
    }
    delay = m_faults.delay;
    cut = m_faults.cutAfter && m_exchanges >= *m_faults.cutAfter;
  }
  if (strike.fault != RandomFault::None) note += "; random fault: " + strike.Describe();
  Log("<- " + HexBytes(request) + "  " + note);
  if (strike.fault == RandomFault::HangUp) return HangUp();
  if (answer) {
    const auto start = std::max(firstByteAt + WireTime(request.size(), m_baud), Clock::now()) + delay;
    if (!SendAnswer(*answer, strike, start)) return false;
    Log("-> " + HexBytes(*answer));
  }
  if (cut) {
    WaitForClientToTakeEverything();
    m_pty->Cut();
    m_lineCut = true;
    Log("line cut after " + std::to_string(m_exchanges) + " exchanges");
    return false;
  }
  return true;
}

// A late answer waits longer; a split one pauses between its parts.
bool SimulatedDevice::SendAnswer(const std::vector<std::uint8_t>& answer, const FaultDraw& strike,
                                 Clock::time_point start) {
  if (strike.fault == RandomFault::Late) return SendPaced(answer, start + strike.delay);
  if (strike.fault != RandomFault::Split) return SendPaced(answer, start);
  const auto parts = answer.begin() + static_cast<std::ptrdiff_t>(strike.SplitPoint(answer.size()));
  if (!SendPaced(std::vector<std::uint8_t>(answer.begin(), parts), start)) return false;
  return SendPaced(std::vector<std::uint8_t>(parts, answer.end()), Clock::now() + strike.delay);
}

// The line goes down as a pulled adapter's does: the client's port fails, and the device
// comes back on a new terminal, which the client opens anew. The new one is there, and named,
// before the old one goes, so that a client never finds no terminal to open.
bool SimulatedDevice::HangUp() {
  std::unique_ptr<platform::PseudoTerminal> next;
  try {
    next = std::make_unique<platform::PseudoTerminal>(platform::PseudoTerminal::Start::Raw,
                                                      platform::PseudoTerminal::Slave::Held);
  } catch (const std::system_error& failure) {
    Log(std::string("hang-up: no new terminal could be made: ") + failure.what());
    return false;
  }
  {
    std::lock_guard lock(m_mutex);
    m_linePath = next->SlavePath();
  }
  if (m_lineReplaced) m_lineReplaced(next->SlavePath());
  m_pty->Cut();
  m_pty = std::move(next);
  ++m_hangUps;
  Log("hang-up: the line is now " + m_pty->SlavePath());
  return true;
}

// Writes each byte once the line would have carried it; false when the device is stopping.
bool SimulatedDevice::SendPaced(const std::vector<std::uint8_t>& answer, Clock::time_point start) {
  if (!WaitUntil(start)) return false;
  std::size_t sent = 0;
  while (sent < answer.size()) {
    if (!WaitUntil(start + WireTime(sent + 1, m_baud))) return false;
    const std::size_t due = BytesDue(Clock::now() - start, m_baud, answer.size());
    const auto part = std::span(answer).subspan(sent, due - sent);
    // Counted before the client can have them, so that it never sees a count behind its bytes.
    m_bytesOnLine += part.size();
    if (!m_pty->Master().WriteAll(part, Clock::now() + kWriteLimit)) {
      Log("answer not taken by the client, given up");
      return true;
    }
    sent = due;
  }
  return true;
}

// The last answer belongs to the exchanges before a cut, and a hang-up throws away what the
// client has not read. Written bytes reach the client's queue a moment after the write, so
// the queue must stay empty for a while before it counts as taken.
void SimulatedDevice::WaitForClientToTakeEverything() {
  const auto limit = Clock::now() + kWriteLimit;
  auto emptySince = Clock::now();
  while (Clock::now() < limit && WaitUntil(Clock::now() + 1ms)) {
    if (m_pty->UnreadBySlave() > 0)
      emptySince = Clock::now();
    else if (Clock::now() - emptySince >= kSettleTime)
      return;
  }
}

bool SimulatedDevice::WaitUntil(Clock::time_point when) {
  std::unique_lock lock(m_mutex);
  return !m_wake.wait_until(lock, when, [this] { return m_stopping; });
}

void SimulatedDevice::Log(const std::string& text) const {
  if (!m_log) return;
  const auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - m_startedAt);
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "[%10.3f ms] ", static_cast<double>(elapsed.count()) / 1000.0);
  m_log(stamp + text);
}

}  // namespace fennec::sim
