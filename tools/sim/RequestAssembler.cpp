#include "RequestAssembler.h"

#include "DeviceExtFrame.h"
#include "DeviceTelegram.h"
#include "WireBytes.h"

namespace fennec::sim {

void RequestAssembler::Feed(std::span<const std::uint8_t> bytes) {
  m_pending.insert(m_pending.end(), bytes.begin(), bytes.end());
}

std::optional<std::vector<std::uint8_t>> RequestAssembler::Next() {
  for (;;) {
    SkipToStart();
    const std::optional<std::size_t> length = LengthAtStart();
    if (!length) return std::nullopt;
    if (*length == 0) {
      m_pending.erase(m_pending.begin());
      continue;
    }
    if (m_pending.size() < *length) return std::nullopt;
    const auto end = m_pending.begin() + static_cast<std::ptrdiff_t>(*length);
    std::vector<std::uint8_t> telegram(m_pending.begin(), end);
    m_pending.erase(m_pending.begin(), end);
    return telegram;
  }
}

std::optional<std::size_t> RequestAssembler::LengthAtStart() const {
  // Every telegram and frame is longer than this: waiting for byte 4 never holds one back.
  if (m_pending.size() <= kExtendedIdOffset) return std::nullopt;
  if (m_extendedData && IsExtendedFrame(m_pending)) {
    const std::size_t length = U16At(m_pending, 2);
    return length >= kExtendedOverhead && length <= *m_extendedData + kExtendedOverhead ? length : 0;
  }
  const std::uint8_t length = m_pending[2];
  return length >= kMinTelegram && length <= kMaxTelegram ? length : 0;
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
