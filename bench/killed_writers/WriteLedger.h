#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "WrittenValues.h"

namespace killed_writers {

// What a target held when it was looked at: nothing, something no write produces, or a write.
struct Absent {};
struct Unreadable {};
using Held = std::variant<Absent, Unreadable, WriteId>;

struct Verdict {
  bool lost = false;        // a write reported as done is neither there nor overwritten
  bool notWritten = false;  // the value is not one some writer wrote completely
};

// The writes reported as done, the moments the writers were killed, and from them a verdict on
// what a target holds. A writer writes in order, one write at a time, so the only write of it
// that can be there without a report is the one after its last report, cut off by its kill.
class WriteLedger {
 public:
  using TargetName = std::function<std::string(WriteId)>;

  explicit WriteLedger(TargetName targetOf) : m_targetOf(std::move(targetOf)) {}

  void Reported(WriteId id, Clock::time_point start, Clock::time_point end);
  // The writer is dead: whatever it wrote ended before this moment.
  void Killed(unsigned writer, Clock::time_point at);

  std::size_t ReportedWrites() const { return m_writes.size(); }

  // A write reported as done is lost when the target holds something that ended before that
  // write began (writes to one target are serialised, so the later one must have replaced it).
  Verdict Judge(const std::string& target, const Held& held) const;

 private:
  struct Times {
    Clock::time_point start;
    Clock::time_point end;
  };

  bool WrittenWithoutReport(WriteId id) const;
  std::optional<Clock::time_point> EndOf(WriteId id) const;

  TargetName m_targetOf;
  std::map<WriteId, Times> m_writes;
  std::map<std::string, std::vector<WriteId>> m_byTarget;
  std::map<unsigned, std::uint32_t> m_lastReported;
  std::map<unsigned, Clock::time_point> m_killedAt;
};

}  // namespace killed_writers
