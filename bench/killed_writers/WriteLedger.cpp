#include "WriteLedger.h"

#include <algorithm>

namespace killed_writers {

void WriteLedger::Reported(WriteId id, Clock::time_point start, Clock::time_point end) {
  m_writes[id] = {start, end};
  m_byTarget[m_targetOf(id)].push_back(id);
  std::uint32_t& last = m_lastReported[id.writer];
  last = std::max(last, id.sequence);
}

void WriteLedger::Killed(unsigned writer, Clock::time_point at) { m_killedAt[writer] = at; }

bool WriteLedger::WrittenWithoutReport(WriteId id) const {
  const auto last = m_lastReported.find(id.writer);
  const std::uint32_t next = last == m_lastReported.end() ? 1 : last->second + 1;
  return id.sequence == next && m_killedAt.contains(id.writer);
}

std::optional<Clock::time_point> WriteLedger::EndOf(WriteId id) const {
  if (const auto write = m_writes.find(id); write != m_writes.end()) return write->second.end;
  if (const auto kill = m_killedAt.find(id.writer); kill != m_killedAt.end()) return kill->second;
  return std::nullopt;
}

Verdict WriteLedger::Judge(const std::string& target, const Held& held) const {
  const auto reported = m_byTarget.find(target);
  const bool anyReported = reported != m_byTarget.end() && !reported->second.empty();
  const WriteId* id = std::get_if<WriteId>(&held);
  if (id == nullptr) return {anyReported, std::holds_alternative<Unreadable>(held)};

  Verdict verdict;
  verdict.notWritten =
      m_targetOf(*id) != target || (!m_writes.contains(*id) && !WrittenWithoutReport(*id));
  // A value no writer wrote replaces nothing: every reported write there is gone.
  if (verdict.notWritten) {
    verdict.lost = anyReported;
    return verdict;
  }
  const std::optional<Clock::time_point> end = EndOf(*id);
  if (anyReported && end) {
    verdict.lost = std::any_of(reported->second.begin(), reported->second.end(), [&](const WriteId& other) {
      return other != *id && m_writes.at(other).start > *end;
    });
  }
  return verdict;
}

}  // namespace killed_writers
