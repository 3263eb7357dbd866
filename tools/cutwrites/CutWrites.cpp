#include "CutWrites.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <stdexcept>

#include "Platform/ChildProcess.h"
#include "Platform/StoreFile.h"

namespace fennec::cutwrites {

namespace {

using Clock = std::chrono::steady_clock;
using fennec::platform::ChildProcess;
using namespace std::chrono_literals;

constexpr auto kStartLimit = 10s;
constexpr auto kRunLimit = 180s;
constexpr unsigned kTable100Size = 80;  // of the fbc32 the simulator plays
constexpr std::chrono::milliseconds kShortestSilence{100};
constexpr unsigned kSilenceSpread = 1400;  // ms beyond the shortest
constexpr std::size_t kMostChanges = 4;

// The texts a failed write may end with: its own steps, the read before it and the
// identification after it.
constexpr std::array<std::string_view, 16> kStepTexts{
    "Connecting device failed!",
    "Connected device was changed!",
    "Enable parametrization service failed!",
    "Writing common settings failed!",
    "Writing specific settings failed!",
    "Saving parameters failed!",
    "Software reset failed!",
    "Checking connection after SW-Reset failed!",
    "Identification service failed!",
    "Reading IP address failed!",
    "FWL version service failed!",
    "Serial number service failed!",
    "MAC-ID service failed!",
    "RTC service failed!",
    "Reading common parameter settings failed!",
    "Reading specific parameter settings failed!",
};

enum class Kind { Number, HexWord, Address, Name, Switch };
struct Setting {
  std::string_view key;
  Kind kind;
};
// Settings of table 100 that the fbc32 lets a user change, each on its own registers.
constexpr std::array kSettings{
    Setting{"MODBUS.WatchdogTimeout", Kind::Number},     Setting{"MODBUS.TriggerMask1", Kind::HexWord},
    Setting{"MODBUS.TriggerMask2", Kind::HexWord},       Setting{"MODBUS.ConnectionWatchdog", Kind::Number},
    Setting{"PROTOCOL.HttpPort", Kind::Number},          Setting{"TRAFFIC.ActivationTime", Kind::Number},
    Setting{"SNTP.ClientInterval", Kind::Number},        Setting{"SNTP.ClientTimeout", Kind::Number},
    Setting{"TCPIP.PreferredDNS", Kind::Address},        Setting{"TCPIP.AlternativeDNS", Kind::Address},
    Setting{"PROTOCOL.TrapManager1", Kind::Address},     Setting{"SNTP.TimeServer", Kind::Address},
    Setting{"NETWORK.HostName", Kind::Name},             Setting{"PROTOCOL.FTP", Kind::Switch},
    Setting{"PROTOCOL.WebServer", Kind::Switch},
};

std::string ValueOf(Kind kind, std::mt19937& random) {
  switch (kind) {
    case Kind::Number:
      return std::to_string(random() % 65536);
    case Kind::HexWord: {
      char text[8];
      std::snprintf(text, sizeof text, "0x%04X", static_cast<unsigned>(random() % 65536));
      return text;
    }
    case Kind::Address:
      return "10." + std::to_string(1 + random() % 254) + "." + std::to_string(1 + random() % 254) + "." +
             std::to_string(1 + random() % 254);
    case Kind::Name:
      return "node-" + std::to_string(random() % 100000);
    case Kind::Switch:
      return std::to_string(random() % 2);
  }
  return {};
}

// One to four settings, each once, with random values.
std::vector<std::string> DrawChanges(std::mt19937& random) {
  std::vector<Setting> settings(kSettings.begin(), kSettings.end());
  std::shuffle(settings.begin(), settings.end(), random);
  settings.resize(1 + random() % kMostChanges);
  std::vector<std::string> changes;
  for (const Setting& setting : settings) changes.push_back(std::string(setting.key) + "=" + ValueOf(setting.kind, random));
  return changes;
}

std::string Contents(const std::filesystem::path& file) { return platform::ReadWholeFile(file).value_or(""); }

// "FD 02 0C ..." up to the two blanks before the note.
std::vector<std::uint8_t> HexBytes(std::string_view text) {
  std::vector<std::uint8_t> bytes;
  while (text.size() >= 2 && text[0] != ' ') {
    bytes.push_back(static_cast<std::uint8_t>(std::stoul(std::string(text.substr(0, 2)), nullptr, 16)));
    text.remove_prefix(std::min<std::size_t>(3, text.size()));
  }
  return bytes;
}

// The failed step's text: the line the program starts with its name.
std::string FailureText(const std::string& standardError) {
  constexpr std::string_view kPrefix = "lanterna-cli: ";
  const std::size_t start = standardError.find(kPrefix);
  if (start == std::string::npos) return {};
  const std::size_t end = standardError.find('\n', start);
  return standardError.substr(start + kPrefix.size(), end == std::string::npos ? end : end - start - kPrefix.size());
}

bool IsStepText(std::string_view text) {
  return std::find(kStepTexts.begin(), kStepTexts.end(), text) != kStepTexts.end();
}

// The programs, each run as a process of its own, over one memory file and one link.
class Bench {
 public:
  explicit Bench(const CutWriteOptions& options)
      : m_options(options), m_memory(options.folder / "memory.txt"), m_link(options.folder / "dev") {}

  // A simulator on the memory file with the extra options; its -v log goes to `log`.
  ChildProcess StartSimulator(std::vector<std::string> extra, const std::filesystem::path& log) {
    std::vector<std::string> arguments{"--state", m_memory.string(), "--link", m_link.string(), "--save-time", "0", "-v"};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    std::optional<ChildProcess> simulator = ChildProcess::Start(m_options.fennecSim, arguments, log);
    if (!simulator || !simulator->ReadLine(Clock::now() + kStartLimit))
      throw std::runtime_error("fennec-sim did not start; see " + log.string());
    return std::move(*simulator);
  }

  struct Finished {
    int exitStatus = -1;
    std::string standardError;
  };

  Finished RunProgram(const std::vector<std::string>& arguments, const std::filesystem::path& standardError,
                      std::vector<std::string>* output = nullptr) {
    std::optional<ChildProcess> program = ChildProcess::Start(m_options.lanternaCli, arguments, standardError);
    if (!program) throw std::runtime_error("lanterna-cli did not start");
    const auto deadline = Clock::now() + kRunLimit;
    while (auto line = program->ReadLine(deadline))
      if (output != nullptr) output->push_back(std::move(*line));
    const std::optional<int> status = program->Wait(deadline);
    return {status.value_or(-1), Contents(standardError)};
  }

  // The program keeps its port in the store this bench has to itself.
  void StorePort() {
    const Finished stored = RunProgram({"port", "set", "RS232:" + m_link.string(), "--timeout",
                                        std::to_string(m_options.timeout.count())},
                                       m_options.folder / "port.txt");
    if (stored.exitStatus != 0) throw std::runtime_error("lanterna-cli port set failed: " + stored.standardError);
  }

  // Table 100 as a new simulator on the memory file serves it: the device after its restart.
  Words ReadTable100() {
    ChildProcess simulator = StartSimulator({}, m_options.folder / "read-sim.txt");
    std::vector<std::string> lines;
    const Finished read = RunProgram({"regs", "read", "100", "0", std::to_string(kTable100Size)},
                                     m_options.folder / "read.txt", &lines);
    simulator.Terminate(Clock::now() + kStartLimit);
    Words table;
    for (const std::string& line : lines) {
      const std::size_t hex = line.find("0x");
      if (line.starts_with("100:") && hex != std::string::npos)
        table.push_back(static_cast<std::uint16_t>(std::stoul(line.substr(hex + 2, 4), nullptr, 16)));
    }
    if (read.exitStatus != 0 || table.size() != kTable100Size)
      throw std::runtime_error("reading table 100 after the restart failed: " + read.standardError);
    return table;
  }

  struct WriteRun {
    Finished finished;
    SimulatorLog log;
  };

  WriteRun Write(const std::vector<std::string>& changes, std::vector<std::string> fault) {
    const std::filesystem::path simulatorLog = m_options.folder / "write-sim.txt";
    ChildProcess simulator = StartSimulator(std::move(fault), simulatorLog);
    std::vector<std::string> arguments{"write"};
    arguments.insert(arguments.end(), changes.begin(), changes.end());
    WriteRun run{RunProgram(arguments, m_options.folder / "write.txt"), {}};
    simulator.Terminate(Clock::now() + kStartLimit);
    run.log = ReadSimulatorLog(Contents(simulatorLog));
    return run;
  }

 private:
  const CutWriteOptions& m_options;
  std::filesystem::path m_memory;
  std::filesystem::path m_link;
};

}  // namespace

SimulatorLog ReadSimulatorLog(std::string_view log) {
  constexpr std::string_view kRequest = "] <- ";
  constexpr std::uint8_t kWriteOfTable100 = 0x80 | 100;
  SimulatorLog facts;
  while (!log.empty()) {
    const std::size_t end = std::min(log.find('\n'), log.size());
    const std::string_view line = log.substr(0, end);
    log.remove_prefix(std::min(end + 1, log.size()));
    if (line.find("line cut after") != std::string_view::npos || line.find("the power fails") != std::string_view::npos)
      facts.cut = true;
    const std::size_t request = line.find(kRequest);
    if (request == std::string_view::npos) continue;
    ++facts.exchanges;
    const std::vector<std::uint8_t> bytes = HexBytes(line.substr(request + kRequest.size()));
    // A register write: FD 02, length, 0, 0, count, 'R', device, table | 0x80, first, the words.
    if (bytes.size() < 12 || bytes[0] != 0xFD || bytes[1] != 0x02 || bytes[8] != kWriteOfTable100) continue;
    const unsigned count = bytes[5];
    if (bytes.size() != 12 + 2u * count) continue;
    for (unsigned i = 0; i < count; ++i)
      facts.table100Written[bytes[9] + i] = static_cast<std::uint16_t>(bytes[10 + 2 * i] | (bytes[11 + 2 * i] << 8));
  }
  return facts;
}

std::optional<Words> IntendedImage(const Words& old, const std::map<unsigned, std::uint16_t>& written) {
  Words image = old;
  for (unsigned reg = 0; reg < image.size(); ++reg) {
    const auto word = written.find(reg);
    if (word == written.end()) return std::nullopt;
    image[reg] = word->second;
  }
  return image;
}

Image Judge(const Words& old, const std::optional<Words>& intended, const Words& after) {
  if (after == old) return Image::Old;
  if (intended && after == *intended) return Image::New;
  return Image::Mix;
}

unsigned CutWriteReport::Count(Image image) const {
  return static_cast<unsigned>(std::count_if(writes.begin(), writes.end(), [&](const CutWrite& w) { return w.image == image; }));
}

unsigned CutWriteReport::WrongStatus() const {
  return static_cast<unsigned>(std::count_if(writes.begin(), writes.end(), [](const CutWrite& w) { return !w.statusRight; }));
}

CutWriteReport RunCutWrites(const CutWriteOptions& options) {
  CutWriteReport report;
  report.options = options;
  const auto started = Clock::now();
  // The programs' store and texts are the bench's own, not the user's.
  setenv("FENNEC_REGISTRY", (options.folder / "registry.xml").c_str(), 1);
  setenv("LC_ALL", "C", 1);

  Bench bench(options);
  bench.StorePort();
  std::mt19937 random(options.seed);
  Words current = bench.ReadTable100();

  // An uncut write tells how many exchanges a write takes, and that one can succeed at all.
  const Bench::WriteRun calibration = bench.Write(DrawChanges(random), {});
  if (calibration.finished.exitStatus != 0)
    throw std::runtime_error("an uncut write failed: " + calibration.finished.standardError);
  report.calibration = calibration.log.exchanges;
  current = bench.ReadTable100();

  while (report.writes.size() < options.writes) {
    CutWrite write;
    write.number = static_cast<unsigned>(report.writes.size()) + 1;
    write.changes = DrawChanges(random);
    write.cut = random() % 2 == 0 ? Cut::Line : Cut::Power;
    write.after = 1 + random() % report.calibration;
    std::vector<std::string> fault{write.cut == Cut::Line ? "--cut-after" : "--reset-after", std::to_string(write.after)};
    if (write.cut == Cut::Power) {
      write.silence = kShortestSilence + std::chrono::milliseconds(random() % kSilenceSpread);
      fault.insert(fault.end(), {"--restart-silence", std::to_string(write.silence.count())});
    }

    const auto writeStarted = Clock::now();
    const Bench::WriteRun run = bench.Write(write.changes, fault);
    const Words after = bench.ReadTable100();
    write.took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - writeStarted);
    write.exitStatus = run.finished.exitStatus;
    write.failureText = FailureText(run.finished.standardError);
    write.image = Judge(current, IntendedImage(current, run.log.table100Written), after);
    current = after;

    const bool completed = write.exitStatus == 0 && write.image == Image::New;
    // The cut came after the write had ended: that write was not cut.
    if (!run.log.cut || (completed && write.cut == Cut::Line)) {
      ++report.uncut;
      if (!completed) throw std::runtime_error("a write the cut did not reach failed: " + run.finished.standardError);
      continue;
    }
    // Success only for a write saved and read back; else the failed step's text.
    write.statusRight = completed || (write.exitStatus == 1 && IsStepText(write.failureText));
    report.writes.push_back(write);
    if (options.progress) options.progress(write);
  }
  report.elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started);
  return report;
}

std::string FormatWrite(const CutWrite& write) {
  constexpr std::array<const char*, 3> kImages{"old", "new", "MIX"};
  char head[160];
  std::snprintf(head, sizeof head, "%3u  %-5s after %2u%-10s  exit %d  %-3s %s  %5.1f s  ", write.number,
                write.cut == Cut::Line ? "line" : "power", write.after,
                write.cut == Cut::Power ? (" (" + std::to_string(write.silence.count()) + " ms)").c_str() : "",
                write.exitStatus, kImages[static_cast<std::size_t>(write.image)],
                write.statusRight ? "  " : "!!", static_cast<double>(write.took.count()) / 1000.0);
  std::string text = head + (write.failureText.empty() ? std::string("done") : write.failureText);
  std::string changes;
  for (const std::string& change : write.changes) changes += " " + change;
  return text + "  [" + changes.substr(1) + "]";
}

std::string FormatReport(const CutWriteReport& report) {
  unsigned lineCuts = 0;
  std::map<std::string, unsigned> texts;
  for (const CutWrite& write : report.writes) {
    if (write.cut == Cut::Line) ++lineCuts;
    ++texts[write.exitStatus == 0 ? "(exit 0: saved and read back after the device came back)" : write.failureText];
  }
  char line[320];
  std::snprintf(line, sizeof line,
                "Cut writes: %zu write actions of lanterna-cli against fennec-sim, each cut at a random exchange\n"
                "(of %u in an uncut write): %u line cuts, %zu power failures; %u runs the cut did not reach were\n"
                "drawn again. Seed %u, port time-out %lld ms, %.1f min.\n\n",
                report.writes.size(), report.calibration, lineCuts, report.writes.size() - lineCuts, report.uncut,
                report.options.seed, static_cast<long long>(report.options.timeout.count()),
                static_cast<double>(report.elapsed.count()) / 60000.0);
  std::string text = line;
  text += "  how the writes ended:\n";
  for (const auto& [ending, count] : texts) text += "    " + std::to_string(count) + "  " + ending + "\n";
  std::snprintf(line, sizeof line,
                "\n  table 100 after the restart: old %u, new %u, mix %u (must be 0)\n"
                "  wrong exit status:           %u (must be 0)\n",
                report.Count(Image::Old), report.Count(Image::New), report.Count(Image::Mix), report.WrongStatus());
  return text + line;
}

}  // namespace fennec::cutwrites
