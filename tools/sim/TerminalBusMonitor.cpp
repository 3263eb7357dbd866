#include "TerminalBusMonitor.h"

namespace fennec::sim {

void TerminalBusMonitor::Add(const Entry& entry) {
  if (m_entries.size() == kCapacity) {
    m_entries.pop_front();
    if (m_pointer > 0) --m_pointer;
  }
  m_entries.push_back(entry);
}

void TerminalBusMonitor::Clear() {
  m_entries.clear();
  m_pointer = 0;
}

std::optional<TerminalBusMonitor::Entry> TerminalBusMonitor::Next() {
  if (m_pointer >= m_entries.size()) return std::nullopt;
  return m_entries[m_pointer++];
}

}  // namespace fennec::sim
