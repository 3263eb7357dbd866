#include "RandomFaults.h"

#include <algorithm>

#include "FaultInjection.h"

namespace fennec::sim {

namespace {

constexpr double kDrawRange = 4294967296.0;  // the generator's 2^32 values

std::uint64_t ThresholdOf(double rate) {
  const double clamped = std::clamp(rate, 0.0, 1.0);
  return static_cast<std::uint64_t>(clamped * kDrawRange);
}

}  // namespace

std::string_view FaultName(RandomFault fault) {
  switch (fault) {
    case RandomFault::None: return "none";
    case RandomFault::Drop: return "request lost";
    case RandomFault::Checksum: return "wrong checksum";
    case RandomFault::WrongStart: return "wrong start";
    case RandomFault::Echo: return "echo";
    case RandomFault::Late: return "late answer";
    case RandomFault::Split: return "split answer";
    case RandomFault::Garbage: return "garbage ahead";
    case RandomFault::HangUp: return "hang-up";
  }
  return "?";
}

std::optional<std::vector<RandomFault>> ParseFaultKinds(std::string_view list) {
  static constexpr std::array<std::string_view, kRandomFaultKinds.size()> kKeys{
      "drop", "checksum", "start", "echo", "late", "split", "garbage", "hangup"};
  std::vector<RandomFault> kinds;
  while (true) {
    const std::size_t comma = list.find(',');
    const std::string_view key = list.substr(0, comma);
    const auto found = std::find(kKeys.begin(), kKeys.end(), key);
    if (found == kKeys.end()) return std::nullopt;
    kinds.push_back(kRandomFaultKinds[static_cast<std::size_t>(found - kKeys.begin())]);
    if (comma == std::string_view::npos) return kinds;
    list.remove_prefix(comma + 1);
  }
}

std::size_t FaultDraw::SplitPoint(std::size_t answerLength) const {
  if (answerLength < 2) return answerLength;
  return 1 + splitDraw % (answerLength - 1);
}

std::string FaultDraw::Describe() const {
  std::string text(FaultName(fault));
  if (fault == RandomFault::Late) text += " (+" + std::to_string(delay.count()) + " ms)";
  if (fault == RandomFault::Split) text += " (gap " + std::to_string(delay.count()) + " ms)";
  if (fault == RandomFault::Garbage) text += " (" + std::to_string(garbage.size()) + " bytes)";
  return text;
}

RandomFaultSource::RandomFaultSource(const RandomFaults& faults)
    : m_generator(faults.seed), m_threshold(ThresholdOf(faults.rate)), m_faults(faults) {
  std::erase(m_faults.kinds, RandomFault::None);
  if (m_faults.kinds.empty()) m_faults.kinds.assign(kRandomFaultKinds.begin(), kRandomFaultKinds.end());
}

FaultDraw RandomFaultSource::Next() {
  FaultDraw strike;
  if (m_generator() >= m_threshold) return strike;
  strike.fault = m_faults.kinds[m_generator() % m_faults.kinds.size()];
  switch (strike.fault) {
    case RandomFault::Late: {
      const auto late = static_cast<std::uint64_t>(std::max<std::int64_t>(m_faults.late.count(), 1));
      strike.delay = std::chrono::milliseconds(late + m_generator() % late);
      break;
    }
    case RandomFault::Split:
      strike.delay = m_faults.gap;
      strike.splitDraw = m_generator();
      break;
    case RandomFault::Garbage:
      strike.garbage.resize(1 + m_generator() % kMaxGarbage);
      for (std::uint8_t& byte : strike.garbage) byte = static_cast<std::uint8_t>(m_generator());
      break;
    default:
      break;
  }
  return strike;
}

std::vector<std::uint8_t> StrikeAnswer(const FaultDraw& strike, std::vector<std::uint8_t> answer,
                                       std::span<const std::uint8_t> request) {
  switch (strike.fault) {
    case RandomFault::Checksum:
      answer[answer.size() - 2] ^= 0xFF;
      break;
    case RandomFault::WrongStart:
      answer[0] = kForeignStart0;
      answer[1] = kForeignStart1;
      break;
    case RandomFault::Echo:
      answer.assign(request.begin(), request.end());
      break;
    case RandomFault::Garbage:
      answer.insert(answer.begin(), strike.garbage.begin(), strike.garbage.end());
      break;
    default:
      break;
  }
  return answer;
}

}  // namespace fennec::sim
