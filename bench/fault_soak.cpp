// Many register exchanges through CSIORegComm and CRS232Connection on a line that the simulator
// in this process strikes with random faults, each exchange checked against the device's own
// table. Counts by fault kind what came back correct, what the repetition recovered and what
// failed (with its code), and the two counts that must stay 0: words reported as success that
// the device does not hold, and registers changed that no write asked for. Exits 1 when either
// is not 0, 2 on a bad command line.
#include <cstdio>
#include <exception>
#include <iostream>
#include <string>
#include <string_view>

#include "FaultSoak.h"
#include "NumberText.h"

namespace {

constexpr std::uint64_t kMaxExchanges = 10'000'000;
constexpr std::uint64_t kMaxTimeout = 60'000;

constexpr const char* kUsage =
    "Usage: fault_soak [--exchanges N] [--rate P] [--seed S] [--timeout MS] [--kinds LIST] [-v]\n"
    "  --exchanges N  register exchanges (default 10000)\n"
    "  --rate P       the share of exchanges a fault strikes: 0.05 or 5% (default 5%)\n"
    "  --seed S       seeds the faults and the exchanges (default 1): a run replays from its seed\n"
    "  --timeout MS   the client's time-out (default 60); late answers come 1.25 to 2.5 of it late\n"
    "  --kinds LIST   only these faults: drop, checksum, start, echo, late, split, garbage, hangup\n"
    "  -v             the simulator's exchange log, with the fault of each exchange, on standard error\n";

void PrintLog(std::string_view line) {
  const std::string text = std::string(line) + "\n";
  std::fwrite(text.data(), 1, text.size(), stderr);
}

// Fills options from the command line; false on anything it does not know.
bool Parse(int argc, char** argv, fennec::soak::SoakOptions& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view name = argv[i];
    if (name == "-v") {
      options.deviceLog = PrintLog;
      continue;
    }
    if (i + 1 >= argc) return false;
    const std::string_view value = argv[++i];
    if (name == "--exchanges") {
      const auto number = fennec::sim::ParseNumber(value, kMaxExchanges);
      if (!number) return false;
      options.exchanges = static_cast<unsigned>(*number);
    } else if (name == "--rate") {
      const auto rate = fennec::sim::ParseRate(value);
      if (!rate) return false;
      options.faultRate = *rate;
    } else if (name == "--seed") {
      const auto seed = fennec::sim::ParseNumber(value, 0xFFFFFFFF);
      if (!seed) return false;
      options.seed = static_cast<std::uint32_t>(*seed);
    } else if (name == "--timeout") {
      const auto timeout = fennec::sim::ParseNumber(value, kMaxTimeout);
      if (!timeout || *timeout < 2) return false;
      options.timeout = std::chrono::milliseconds(*timeout);
    } else if (name == "--kinds") {
      auto kinds = fennec::sim::ParseFaultKinds(value);
      if (!kinds) return false;
      options.kinds = std::move(*kinds);
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  fennec::soak::SoakOptions options;
  if (!Parse(argc, argv, options)) {
    std::cerr << kUsage;
    return 2;
  }
  try {
    const fennec::soak::SoakReport report = fennec::soak::RunFaultSoak(options);
    std::cout << fennec::soak::FormatReport(report);
    return report.Clean() ? 0 : 1;
  } catch (const std::exception& failure) {
    std::cerr << "fault_soak: " << failure.what() << "\n";
    return 1;
  }
}
