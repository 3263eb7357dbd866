#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "RandomFaults.h"

// Many register exchanges through the library on a line with random faults, against the
// simulator in this process, each checked against the device's own table.
namespace fennec::soak {

struct SoakOptions {
  unsigned exchanges = 10'000;
  double faultRate = 0.05;
  std::uint32_t seed = 1;
  // The client's time-out. Late answers come 1.25 to 2.5 time-outs late, so that some land in
  // the repetition's wait and some after it; a split answer pauses half a time-out.
  std::chrono::milliseconds timeout{60};
  std::vector<sim::RandomFault> kinds;  // empty: all
  std::function<void(std::string_view)> deviceLog;  // the simulator's exchange log, when set
};

// The exchanges that one kind of fault struck (or none, or several kinds at once).
struct KindCounts {
  unsigned exchanges = 0;
  unsigned correct = 0;    // success at the first try
  unsigned recovered = 0;  // success at the repetition
  std::map<std::uint32_t, unsigned> failures;  // by code

  unsigned Failed() const;
};

inline constexpr std::size_t kKindRows = sim::kRandomFaultKinds.size() + 2;
// The row of the exchanges that more than one kind struck.
inline constexpr std::size_t kSeveralKinds = kKindRows - 1;

struct SoakReport {
  SoakOptions options;
  unsigned reads = 0;
  unsigned writes = 0;
  // Row n: the exchanges struck by RandomFault n alone (row 0: by none); then kSeveralKinds.
  std::array<KindCounts, kKindRows> byKind{};
  std::array<unsigned, kKindRows> drawn{};  // faults the device drew, by kind
  unsigned reopened = 0;                    // the port reopened after its line went down
  // The two that must stay 0.
  unsigned wrongWords = 0;      // words reported as success (read, or written) the device does not hold
  unsigned unaskedChanges = 0;  // registers that changed although no write asked for it
  std::chrono::milliseconds elapsed{0};

  bool Clean() const { return wrongWords == 0 && unaskedChanges == 0; }
  unsigned Recovered() const;
};

// Throws std::runtime_error when the simulator, the port or the enabling cannot be set up.
SoakReport RunFaultSoak(const SoakOptions& options);

std::string FormatReport(const SoakReport& report);

}  // namespace fennec::soak
