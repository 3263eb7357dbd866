#include "StoreRun.h"

#include <cstdio>
#include <string>
#include <vector>

#include "Common/DamagedStore.h"
#include "Common/RegistyEx.h"
#include "Platform/ChildProcess.h"

namespace killed_writers {

namespace {

using namespace std::chrono_literals;
using fennec::platform::ChildProcess;

constexpr int kKilledCode = 128 + 9;
constexpr auto kPollSlice = 2ms;
constexpr auto kReapTime = 10s;

struct Writer {
  unsigned id = 0;
  ChildProcess process;
  Clock::time_point killAt;
  bool killed = false;
};

Held ReadHeld(const cutils::CRegistryEx& registry, const Target& target) {
  if (target.number) {
    // No writer writes 0: its top byte is the writer, from 1.
    const std::uint32_t number = registry.ReadDWord(target.subKey, target.valueName, 0);
    if (number == 0) return Absent{};
    const std::optional<WriteId> id = ParseNumberValue(number);
    return id ? Held(*id) : Held(Unreadable{});
  }
  const std::string text = registry.ReadString(target.subKey, target.valueName, "");
  if (text.empty()) return Absent{};
  const std::optional<WriteId> id = ParseTextValue(text);
  return id ? Held(*id) : Held(Unreadable{});
}

// One load of the store: every value the writers so far can have written, judged.
void CheckStore(const WriteLedger& ledger, unsigned writersStarted, Figures& figures) {
  const cutils::CRegistryEx registry(kRegistryPath);
  for (const Target& target : TargetsOf(writersStarted))
    figures.Count(target.Name(), ledger.Judge(target.Name(), ReadHeld(registry, target)));
  if (const std::optional<fennec::DamagedStore> damaged = fennec::TakeDamagedStore()) {
    ++figures.loadsFailed;
    std::fprintf(stderr, "killed_writers: the store %s did not load, moved to %s\n", damaged->file.c_str(),
                 damaged->movedTo.c_str());
  }
}

class StoreRound {
 public:
  StoreRound(WriteLedger& ledger, Figures& figures) : m_ledger(ledger), m_figures(figures) {}

  void Run(std::vector<Writer>& writers) {
    for (bool running = true; running;) {
      running = false;
      for (Writer& writer : writers) {
        if (writer.killed) continue;
        running = true;
        const Clock::time_point now = Clock::now();
        if (now >= writer.killAt) {
          Kill(writer);
        } else if (const std::optional<std::string> line = writer.process.ReadLine(std::min(writer.killAt, now + kPollSlice))) {
          Record(writer, *line);
        }
      }
    }
  }

 private:
  void Kill(Writer& writer) {
    const std::optional<int> code = writer.process.Kill(Clock::now() + kReapTime);
    m_ledger.Killed(writer.id, Clock::now());
    writer.killed = true;
    ++m_figures.kills;
    if (code != kKilledCode) {
      ++m_figures.writesFailed;
      std::fprintf(stderr, "killed_writers: writer %u ended before its kill (%d)\n", writer.id, code.value_or(-1));
    }
    // Reports still in the pipe were written before the kill.
    while (const std::optional<std::string> line = writer.process.ReadLine(Clock::now() + kReapTime)) Record(writer, *line);
  }

  void Record(const Writer& writer, const std::string& line) {
    const std::optional<Report> report = ParseReportLine(line);
    if (!report) {
      ++m_figures.writesFailed;
      std::fprintf(stderr, "killed_writers: writer %u reported '%s'\n", writer.id, line.c_str());
      return;
    }
    m_ledger.Reported({writer.id, report->sequence}, report->start, report->end);
  }

  WriteLedger& m_ledger;
  Figures& m_figures;
};

}  // namespace

Figures RunStoreWriters(const StoreRunOptions& options, std::mt19937_64& random) {
  Figures figures;
  WriteLedger ledger([](WriteId id) { return TargetOf(id).Name(); });
  std::uniform_int_distribution<std::chrono::milliseconds::rep> life(options.shortestLife.count(),
                                                                    options.longestLife.count());
  unsigned started = 0;
  while (started < options.writers) {
    std::vector<Writer> round;
    for (unsigned i = 0; i < options.atOnce && started < options.writers; ++i) {
      const unsigned id = ++started;
      std::optional<ChildProcess> process = ChildProcess::Start(options.writerProgram, {std::to_string(id)});
      if (!process) {
        ++figures.writesFailed;
        std::fprintf(stderr, "killed_writers: cannot start %s\n", options.writerProgram.c_str());
        continue;
      }
      round.push_back({id, std::move(*process), Clock::now() + std::chrono::milliseconds(life(random))});
    }
    StoreRound(ledger, figures).Run(round);
    CheckStore(ledger, started, figures);
  }

  // The store works on after the crashes, and that write clears up after them.
  cutils::CRegistryEx registry(kRegistryPath);
  if (!registry.WriteString("Final", "Done", "yes") || registry.ReadString("Final", "Done", "") != "yes")
    ++figures.writesFailed;
  CheckStore(ledger, started, figures);
  figures.reportedWrites = ledger.ReportedWrites();
  figures.temporariesLeft = TemporariesBeside(options.store);
  return figures;
}

}  // namespace killed_writers
