#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace fennec::sim {

// Cuts the byte stream a device receives into telegrams: it hunts for the request start FD 02,
// takes the length byte, and hands out a telegram once all of its bytes are there. A length
// outside 12..100 cannot start a telegram, so the hunt goes on from the next byte.
class RequestAssembler {
 public:
  void Feed(std::span<const std::uint8_t> bytes);

  // The next complete telegram, checksum not yet checked.
  std::optional<std::vector<std::uint8_t>> Next();

  // Bytes of an unfinished telegram are waiting.
  bool HasPartial() const { return !m_pending.empty(); }

  // The receiver gives up an unfinished telegram after the line went quiet, so that a torn
  // request does not swallow the start of the next one. Returns the bytes dropped.
  std::size_t DiscardPartial();

 private:
  void SkipToStart();

  std::vector<std::uint8_t> m_pending;
};

}  // namespace fennec::sim
