#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <random>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace fennec::sim {

// The line faults that strike at random, one kind per struck exchange.
enum class RandomFault : std::uint8_t {
  None,
  Drop,        // the request is lost: the device never sees it
  Checksum,    // the answer's checksum is wrong
  WrongStart,  // the answer starts AA 55
  Echo,        // the request comes back instead of the answer
  Late,        // the answer comes later than the client waits
  Split,       // the answer comes in two parts with a gap between them
  Garbage,     // a burst of noise goes ahead of the answer
  HangUp,      // the line goes down after the request, as a pulled adapter's does
};

inline constexpr std::array kRandomFaultKinds{
    RandomFault::Drop, RandomFault::Checksum, RandomFault::WrongStart, RandomFault::Echo,
    RandomFault::Late, RandomFault::Split,    RandomFault::Garbage,    RandomFault::HangUp,
};

// "late answer": the kind's name in logs and reports.
std::string_view FaultName(RandomFault fault);

// "drop,late,hangup": kinds by their short names (drop, checksum, start, echo, late, split,
// garbage, hangup); nothing when a name is unknown.
std::optional<std::vector<RandomFault>> ParseFaultKinds(std::string_view list);

// Each exchange is struck with probability `rate` by one kind, all kinds equally likely. The
// generator is seeded: the same seed and the same requests strike the same faults.
struct RandomFaults {
  double rate = 0.0;  // 0..1
  std::uint32_t seed = 1;
  std::vector<RandomFault> kinds;  // the kinds to pick from; empty: all of them
  // A late answer comes between `late` and twice `late` after the request; the client's
  // time-out must be shorter than `late`.
  std::chrono::milliseconds late{6000};
  // A split answer's second part comes `gap` after the first; shorter than the time-out.
  std::chrono::milliseconds gap{1000};
};

inline constexpr std::size_t kMaxGarbage = 16;

// What one draw does to one exchange.
struct FaultDraw {
  RandomFault fault = RandomFault::None;
  std::chrono::milliseconds delay{0};  // a late answer's wait, a split answer's gap
  std::uint32_t splitDraw = 0;         // where a split answer parts
  std::vector<std::uint8_t> garbage;   // sent ahead of the answer

  // The length of a split answer's first part: at least one byte, never all of them.
  std::size_t SplitPoint(std::size_t answerLength) const;
  // "late answer (+7421 ms)": the fault and its particulars, for the exchange log.
  std::string Describe() const;
};

// The seeded draws. Only the generator's raw output is used (not the standard distributions,
// whose results differ between libraries), so a seed replays the same anywhere.
class RandomFaultSource {
 public:
  explicit RandomFaultSource(const RandomFaults& faults);

  // One draw per exchange.
  FaultDraw Next();

 private:
  std::mt19937 m_generator;
  std::uint64_t m_threshold;  // a first draw below it strikes
  RandomFaults m_faults;
};

// The answer as the struck fault changes it; the answer itself for the kinds that leave it be.
std::vector<std::uint8_t> StrikeAnswer(const FaultDraw& strike, std::vector<std::uint8_t> answer,
                                       std::span<const std::uint8_t> request);

}  // namespace fennec::sim
