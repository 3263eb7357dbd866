#include "FaultSoak.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <random>
#include <stdexcept>

#include "Common/ErrorCodes.h"
#include "Communication/RS232Connection.h"
#include "CountingConnection.h"
#include "Platform/LastError.h"
#include "Platform/Time.h"
#include "SIORegComm.h"
#include "SIOService.h"
#include "SimulatedDevice.h"
#include "TableNumbers.h"

namespace fennec::soak {

namespace {

using Clock = std::chrono::steady_clock;
using Words = std::vector<std::uint16_t>;

constexpr std::uint8_t kTable = sim::kEthernetTable;
// The exchanges are drawn from a generator of their own, seeded apart from the device's.
constexpr std::uint32_t kOperationSeedMix = 0x9E3779B9;
constexpr int kOpenTries = 100;
constexpr auto kOpenRetry = std::chrono::milliseconds(10);

struct Operation {
  bool write = false;
  unsigned first = 0;
  Words words;  // what is written, or room for what is read
};

// Random reads and writes of random runs of the table, each carried by one telegram.
class OperationSource {
 public:
  OperationSource(std::uint32_t seed, unsigned tableSize) : m_generator(seed ^ kOperationSeedMix), m_tableSize(tableSize) {}

  Operation Next() {
    Operation operation;
    operation.write = m_generator() % 2 == 1;
    const unsigned count = 1 + m_generator() % std::min<unsigned>(CSIORegComm::MAX_DATA_LEN, m_tableSize);
    operation.first = m_generator() % (m_tableSize - count + 1);
    operation.words.resize(count);
    if (operation.write)
      for (std::uint16_t& word : operation.words) word = static_cast<std::uint16_t>(m_generator());
    return operation;
  }

 private:
  std::mt19937 m_generator;
  unsigned m_tableSize;
};

// What the soak knows of each register: the values it may hold. One, until a write fails: its
// registers may then hold what they held or what the write carried, whichever got through.
class TableKnowledge {
 public:
  explicit TableKnowledge(const Words& table) {
    for (const std::uint16_t word : table) m_possible.push_back({word});
  }

  void Written(const Operation& operation, bool succeeded) {
    for (std::size_t i = 0; i < operation.words.size(); ++i) {
      Words& possible = m_possible[operation.first + i];
      if (succeeded) possible.clear();
      if (std::find(possible.begin(), possible.end(), operation.words[i]) == possible.end())
        possible.push_back(operation.words[i]);
    }
  }

  // The registers whose value on the device no write allows; then the device's values are
  // what the soak knows.
  std::vector<unsigned> Settle(const Words& device) {
    std::vector<unsigned> misfits;
    for (unsigned reg = 0; reg < device.size(); ++reg) {
      Words& possible = m_possible[reg];
      if (std::find(possible.begin(), possible.end(), device[reg]) == possible.end()) misfits.push_back(reg);
      possible.assign(1, device[reg]);
    }
    return misfits;
  }

 private:
  std::vector<Words> m_possible;
};

Words DeviceTable(sim::SimulatedDevice& device) {
  return device.InspectState([](const sim::DeviceState& state) {
    const auto run = state.tables.Run(kTable, 0, static_cast<unsigned>(state.tables.Size(kTable)));
    return Words(run.begin(), run.end());
  });
}

using Drawn = std::array<unsigned, sim::kRandomFaultKinds.size() + 1>;

Drawn DrawnSoFar(const sim::SimulatedDevice& device) {
  Drawn drawn{};
  for (const sim::RandomFault kind : sim::kRandomFaultKinds) drawn[static_cast<std::size_t>(kind)] = device.Struck(kind);
  return drawn;
}

// The row of an exchange by the kinds the device drew while it ran.
std::size_t RowOf(const Drawn& before, const Drawn& after) {
  std::size_t row = 0;
  for (std::size_t kind = 1; kind < after.size(); ++kind) {
    if (after[kind] == before[kind]) continue;
    if (row != 0) return kSeveralKinds;
    row = kind;
  }
  return row;
}

// A failure that leaves the port useless: the line went down under it. A terminal cut while a
// request is written fails with the system's error on the port rather than a line fault.
bool LineWentDown(std::uint32_t code) {
  if (code == kPortNotOpen || (code & 0xFFFF0000) == kGroupPort) return true;
  return (code & 0xFFFF0000) == kGroupCommunication && code != kNoAnswer && code != kInvalidChecksum &&
         code != kInvalidStartIdentifier;
}

// Opens the terminal the device serves now, as a client does after its port failed: the name
// stays, the terminal behind it may be a new one.
void OpenPort(ORLA::CRS232Connection& connection, const sim::SimulatedDevice& device,
              std::chrono::milliseconds timeout) {
  try {
    connection.Close();
  } catch (...) {
    // A port whose line went down may fail to close; it is closed all the same.
  }
  const std::string settings =
      "<RS232 device='" + device.LinePath() + "' timeout='" + std::to_string(timeout.count()) + "'/>";
  if (!connection.SetSettingsXML(settings)) throw std::runtime_error("the connection refused its settings");
  for (int attempt = 0; attempt < kOpenTries; ++attempt) {
    try {
      connection.Open();
      return;
    } catch (...) {
      platform::Sleep(kOpenRetry);
    }
  }
  throw std::runtime_error("the simulator's terminal " + device.LinePath() + " cannot be opened");
}

std::string FailureText(const KindCounts& counts) {
  std::string text;
  for (const auto& [code, count] : counts.failures) {
    char item[40];
    std::snprintf(item, sizeof item, "%s0x%08X x%u", text.empty() ? "" : ", ", code, count);
    text += item;
  }
  return text;
}

std::string_view RowName(std::size_t row) {
  if (row == kSeveralKinds) return "several";
  return sim::FaultName(static_cast<sim::RandomFault>(row));
}

}  // namespace

unsigned KindCounts::Failed() const {
  unsigned failed = 0;
  for (const auto& entry : failures) failed += entry.second;
  return failed;
}

unsigned SoakReport::Recovered() const {
  unsigned recovered = 0;
  for (const KindCounts& counts : byKind) recovered += counts.recovered;
  return recovered;
}

SoakReport RunFaultSoak(const SoakOptions& options) {
  SoakReport report;
  report.options = options;
  const auto started = Clock::now();

  sim::SimulatorOptions simulator;
  simulator.profile = *sim::FindProfile("fbc32");
  simulator.log = options.deviceLog;
  sim::SimulatedDevice device(std::move(simulator));
  if (!device.Start()) throw std::runtime_error("the simulator did not start: " + device.StartReport());

  ORLA::CRS232Connection connection;
  OpenPort(connection, device, options.timeout);
  CSIOService service(&connection);
  if (!service.EnableParamWriting(true)) throw std::runtime_error("the device did not enable writing");

  const Words initial = DeviceTable(device);
  TableKnowledge knowledge(initial);
  OperationSource operations(options.seed, static_cast<unsigned>(initial.size()));
  CountingConnection counting(connection);
  CSIORegComm registers(&counting);
  device.SetRandomFaults({.rate = options.faultRate,
                          .seed = options.seed,
                          .kinds = options.kinds,
                          .late = options.timeout * 5 / 4,
                          .gap = options.timeout / 2});

  for (unsigned n = 0; n < options.exchanges; ++n) {
    Operation operation = operations.Next();
    const Drawn drawnBefore = DrawnSoFar(device);
    const unsigned triesBefore = counting.Writes();
    const auto count = static_cast<unsigned>(operation.words.size());
    const bool succeeded = operation.write
                               ? registers.WriteRegister(0, kTable, operation.first, count, operation.words.data())
                               : registers.ReadRegister(0, kTable, operation.first, count, operation.words.data());
    const std::uint32_t code = succeeded ? 0 : platform::GetThreadLastError();
    const unsigned tries = counting.Writes() - triesBefore;
    const Words table = DeviceTable(device);

    ++(operation.write ? report.writes : report.reads);
    KindCounts& row = report.byKind[RowOf(drawnBefore, DrawnSoFar(device))];
    ++row.exchanges;
    if (!succeeded)
      ++row.failures[code];
    else if (tries > 1)
      ++row.recovered;
    else
      ++row.correct;

    if (succeeded && !operation.write)
      for (unsigned i = 0; i < count; ++i)
        if (operation.words[i] != table[operation.first + i]) ++report.wrongWords;
    if (operation.write) knowledge.Written(operation, succeeded);
    for (const unsigned reg : knowledge.Settle(table)) {
      const bool written = operation.write && reg >= operation.first && reg < operation.first + count;
      ++(succeeded && written ? report.wrongWords : report.unaskedChanges);
    }

    if (!succeeded && LineWentDown(code)) {
      OpenPort(connection, device, options.timeout);
      ++report.reopened;
    }
  }

  // A repetition still on its way may change the device once more: only once the line has
  // been quiet for longer than any late answer is the table looked at for the last time.
  device.SetRandomFaults({});
  platform::Sleep(options.timeout * 3);
  for ([[maybe_unused]] const unsigned reg : knowledge.Settle(DeviceTable(device))) ++report.unaskedChanges;

  report.drawn = {};
  const Drawn drawn = DrawnSoFar(device);
  std::copy(drawn.begin(), drawn.end(), report.drawn.begin());
  report.elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started);
  return report;
}

std::string FormatReport(const SoakReport& report) {
  std::string text;
  char line[256];
  std::snprintf(line, sizeof line,
                "Fault soak: %u register exchanges (%u reads, %u writes) on table 100 of a simulated fbc32,\n"
                "fault rate %.1f %%, seed %u, time-out %lld ms, %.1f s\n\n",
                report.options.exchanges, report.reads, report.writes, report.options.faultRate * 100.0,
                report.options.seed, static_cast<long long>(report.options.timeout.count()),
                static_cast<double>(report.elapsed.count()) / 1000.0);
  text += line;
  std::snprintf(line, sizeof line, "  %-16s %6s %9s %8s %10s %7s  %s\n", "fault", "drawn", "exchanges", "correct",
                "recovered", "failed", "failure codes");
  text += line;
  for (std::size_t row = 0; row < kKindRows; ++row) {
    const KindCounts& counts = report.byKind[row];
    if (row == kSeveralKinds && counts.exchanges == 0) continue;
    const std::string drawn = row == 0 || row == kSeveralKinds ? "" : std::to_string(report.drawn[row]);
    std::snprintf(line, sizeof line, "  %-16s %6s %9u %8u %10u %7u  ", std::string(RowName(row)).c_str(),
                  drawn.c_str(), counts.exchanges, counts.correct, counts.recovered, counts.Failed());
    text += line + FailureText(counts) + "\n";
  }
  std::snprintf(line, sizeof line,
                "\n  port reopened after its line went down: %u\n"
                "  words reported as success that the device does not hold: %u (must be 0)\n"
                "  registers changed that no write asked for:               %u (must be 0)\n",
                report.reopened, report.wrongWords, report.unaskedChanges);
  text += line;
  return text;
}

}  // namespace fennec::soak
