#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>

namespace fennec::sim {

// The terminal-bus monitor: a bounded list of events, oldest first, read one by one through a
// pointer. It lives in retained memory, so entries of earlier runs survive a restart; their
// times then no longer fit the current run, which the start entry marks.
class TerminalBusMonitor {
 public:
  static constexpr std::size_t kCapacity = 32;
  static constexpr std::uint16_t kStartCode = 0;
  static constexpr std::uint8_t kStartArgument = 0xC0;
  static constexpr std::uint16_t kBusResetCode = 1;
  // Delivered when the pointer has passed the last entry.
  static constexpr std::uint16_t kNoEntryCode = 0xFFFF;
  static constexpr std::uint8_t kAbsoluteTimes = 0x02;

  struct Entry {
    std::uint32_t eventTime = 0;  // tenths of a second since the start, or calendar seconds
    std::uint16_t code = 0;
    std::uint8_t argument = 0;
    std::uint8_t flags = 0;
  };

  void Add(const Entry& entry);
  void Clear();
  void ResetPointer() { m_pointer = 0; }
  // The entry at the pointer, which moves on; nothing past the last one.
  std::optional<Entry> Next();
  std::size_t Size() const { return m_entries.size(); }

 private:
  std::deque<Entry> m_entries;
  std::size_t m_pointer = 0;
};

}  // namespace fennec::sim
