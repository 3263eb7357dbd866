#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace fennec::sim {

// Cuts the byte stream a device receives into telegrams and extended frames: it hunts for the
// request start FD 02 and tells the two by byte 4 ('$' in an extended frame, the multipoint
// address 0 in a telegram). A telegram's length is its byte 2, 12..100; an extended frame's
// is the 16-bit Len in bytes 2-3, 12..FragmentSize + 12. A length outside its range cannot
// start anything, so the hunt goes on from the next byte.
class RequestAssembler {
 public:
  // extendedData: the device's FragmentSize; without it, extended frames are not told apart.
  explicit RequestAssembler(std::optional<std::size_t> extendedData = std::nullopt) : m_extendedData(extendedData) {}

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
  // The length of the frame or telegram at the start, 0 when none can start there; nothing
  // while too few bytes have come to tell.
  std::optional<std::size_t> LengthAtStart() const;

  std::optional<std::size_t> m_extendedData;
  std::vector<std::uint8_t> m_pending;
};

}  // namespace fennec::sim
