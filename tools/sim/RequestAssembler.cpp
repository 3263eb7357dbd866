#include "RequestAssembler.h"

#include "DeviceTelegram.h"

namespace fennec::sim {

void RequestAssembler::Feed(std::span<const std::uint8_t> bytes) {
  m_pending.insert(m_pending.end(), bytes.begin(), bytes.end());
}

std::optional<std::vector<std::uint8_t>> RequestAssembler::Next() {
  for (;;) {
    SkipToStart();
    if (m_pending.size() < 3) return std::nullopt;
    const std::uint8_t length = m_pending[2];
    if (length < kMinTelegram || length > kMaxTelegram) {
      m_pending.erase(m_pending.begin());
      continue;
    }
    if (m_pending.size() < length) return std::nullopt;
    std::vector<std::uint8_t> telegram(m_pending.begin(), m_pending.begin() + length);
    m_pending.erase(m_pending.begin(), m_pending.begin() + length);
    return telegram;
  }
}

std::size_t RequestAssembler::DiscardPartial() {
  const std::size_t dropped = m_pending.size();
  m_pending.clear();
  return dropped;
}

void RequestAssembler::SkipToStart() {
  auto start = m_pending.begin();
  while (start != m_pending.end()) {
    if (*start == kRequestStart0 && (start + 1 == m_pending.end() || *(start + 1) == kRequestStart1)) break;
    ++start;
  }
  m_pending.erase(m_pending.begin(), start);
}

}  // namespace fennec::sim
