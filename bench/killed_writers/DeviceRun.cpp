#include "DeviceRun.h"

#include <cstdio>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "Communication/RS232Connection.h"
#include "NonVolatileMemory.h"
#include "Platform/ChildProcess.h"
#include "Platform/StoreFile.h"
#include "Profile.h"
#include "SIOService.h"
#include "TableNumbers.h"

namespace killed_writers {

namespace {

using namespace std::chrono_literals;
using fennec::platform::ChildProcess;

constexpr const char* kProfile = "fbc32";
constexpr const char* kTarget = "table 100";
constexpr int kKilledCode = 128 + 9;
constexpr auto kStartTime = 10s;
constexpr const char* kLineTimeoutMs = "300";

// The simulator's memory file as the next start will find it.
struct MemoryFile {
  Held held = Absent{};
  std::optional<std::vector<std::uint16_t>> table100;  // what a start must serve; nothing: not known
};

class DeviceRun {
 public:
  DeviceRun(const DeviceRunOptions& options, Figures& figures)
      : m_options(options),
        m_figures(figures),
        m_profile(*fennec::sim::FindProfile(kProfile)),
        m_state(options.folder / "fbc32.memory"),
        m_messages(options.folder / "fennec-sim.err"),
        m_ledger([](WriteId) { return std::string(kTarget); }) {}

  void KilledRound(unsigned round, std::chrono::milliseconds life) {
    const MemoryFile memory = LoadAndJudge();
    std::optional<ChildProcess> simulator = Start();
    if (!simulator) return;
    const Clock::time_point killAt = Clock::now() + life;
    Clock::time_point killedAt;
    std::optional<int> code;
    SessionEnd end;
    {
      std::jthread killer([&] {
        std::this_thread::sleep_until(killAt);
        code = simulator->Kill(Clock::now() + kStartTime);
        killedAt = Clock::now();
      });
      end = Session(round, memory, std::nullopt);
    }
    m_ledger.Killed(round, killedAt);
    ++m_figures.kills;
    // Saving stops at the kill; a step that failed before it is a fault of its own.
    if (code != kKilledCode || end.stopped < killAt) {
      ++m_figures.writesFailed;
      std::fprintf(stderr, "killed_writers: round %u: saves stopped before the kill (%d)\n", round, code.value_or(-1));
    }
  }

  // One start and one save that nobody interrupts, then a clean stop.
  void LastRound(unsigned round) {
    const MemoryFile memory = LoadAndJudge();
    if (std::optional<ChildProcess> simulator = Start()) {
      if (Session(round, memory, 1).saves != 1) ++m_figures.writesFailed;
      if (simulator->Terminate(Clock::now() + kStartTime) != 0) ++m_figures.writesFailed;
      LoadAndJudge();
    }
    m_figures.reportedWrites = m_ledger.ReportedWrites();
    m_figures.temporariesLeft = TemporariesBeside(m_state);
  }

 private:
  MemoryFile LoadAndJudge() {
    MemoryFile memory;
    const std::optional<std::string> text = fennec::platform::ReadWholeFile(m_state);
    if (text) {
      const fennec::sim::DecodedMemory decoded = fennec::sim::DecodeSaved(*text, m_profile);
      if (decoded.saved) {
        memory.table100 = decoded.saved->tables.at(fennec::sim::kEthernetTable);
        const std::optional<WriteId> id = ParseDeviceImage(*memory.table100);
        memory.held = id ? Held(*id) : Held(Unreadable{});
      } else {
        ++m_figures.loadsFailed;
        memory.held = Unreadable{};
        std::fprintf(stderr, "killed_writers: %s does not load: %s\n", m_state.c_str(), decoded.problem.c_str());
      }
    } else {
      memory.table100 = m_profile.parameterTables.at(fennec::sim::kEthernetTable);
    }
    m_figures.Count(kTarget, m_ledger.Judge(kTarget, memory.held));
    return memory;
  }

  std::optional<ChildProcess> Start() {
    std::optional<ChildProcess> simulator = ChildProcess::Start(
        m_options.simulator, {"--profile", kProfile, "--state", m_state.string(), "--save-time", "0"}, m_messages);
    m_terminal = simulator ? simulator->ReadLine(Clock::now() + kStartTime).value_or("") : "";
    if (m_terminal.empty()) {
      ++m_figures.writesFailed;
      std::fprintf(stderr, "killed_writers: %s did not start\n", m_options.simulator.c_str());
      return std::nullopt;
    }
    return simulator;
  }

  struct SessionEnd {
    Clock::time_point stopped;
    unsigned saves = 0;
  };

  // Checks that the device serves what its file holds, then writes and saves until a step fails
  // or `saves` saves are done.
  SessionEnd Session(unsigned round, const MemoryFile& memory, std::optional<unsigned> saves) {
    SessionEnd end;
    ORLA::CRS232Connection connection;
    if (!connection.SetSettingsXML("<RS232 device='" + m_terminal + "' timeout='" + kLineTimeoutMs + "'/>")) {
      end.stopped = Clock::now();
      return end;
    }
    try {
      connection.Open();
    } catch (...) {
      end.stopped = Clock::now();
      return end;
    }
    CSIOService service(&connection);
    if (Serves(service, memory) && service.EnableParamWriting(true)) {
      for (std::uint32_t sequence = 1; !saves || sequence <= *saves; ++sequence) {
        const std::vector<std::uint16_t> image = DeviceImage({round, sequence}, TableSize());
        if (!service.WriteRegister(0, fennec::sim::kEthernetTable, 0, static_cast<unsigned>(image.size()),
                                   image.data()))
          break;
        const Clock::time_point start = Clock::now();
        if (!service.SaveParameter()) break;
        m_ledger.Reported({round, sequence}, start, Clock::now());
        ++end.saves;
      }
    }
    end.stopped = Clock::now();
    return end;
  }

  // The started device shows table 100 as its file held it: the file was loaded, not set aside.
  bool Serves(CSIOService& service, const MemoryFile& memory) {
    if (!memory.table100) return true;
    std::vector<std::uint16_t> served(memory.table100->size());
    if (!service.ReadRegister(0, fennec::sim::kEthernetTable, 0, static_cast<unsigned>(served.size()), served.data()))
      return false;
    if (served != *memory.table100) {
      ++m_figures.loadsFailed;
      const std::string messages = fennec::platform::ReadWholeFile(m_messages).value_or("");
      std::fprintf(stderr, "killed_writers: the simulator did not serve its memory file:\n%s", messages.c_str());
    }
    return true;
  }

  std::size_t TableSize() const { return m_profile.parameterTables.at(fennec::sim::kEthernetTable).size(); }

  const DeviceRunOptions& m_options;
  Figures& m_figures;
  const fennec::sim::Profile& m_profile;
  std::filesystem::path m_state;
  std::filesystem::path m_messages;
  std::string m_terminal;
  WriteLedger m_ledger;
};

}  // namespace

Figures RunDeviceSaves(const DeviceRunOptions& options, std::mt19937_64& random) {
  Figures figures;
  DeviceRun run(options, figures);
  std::uniform_int_distribution<std::chrono::milliseconds::rep> life(options.shortestLife.count(),
                                                                    options.longestLife.count());
  for (unsigned round = 1; round <= options.kills; ++round) run.KilledRound(round, std::chrono::milliseconds(life(random)));
  run.LastRound(options.kills + 1);
  return figures;
}

}  // namespace killed_writers
