#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace fennec::sim {

// The frame of the extended protocol as the device sees it: FD 02 (02 FD in answers), the 16-bit
// Len of the whole frame, ProtID '$', Cmd, the 16-bit FragCnt (bit 15: more follow), SeqNr,
// Err, the data and the byte sum of everything before it.
inline constexpr std::uint8_t kExtendedProtId = '$';
inline constexpr std::size_t kExtendedOverhead = 12;
inline constexpr std::size_t kExtendedIdOffset = 4;
inline constexpr std::uint16_t kMoreFragments = 0x8000;
inline constexpr std::uint8_t kAnswerCommand = 0x80;
inline constexpr std::uint8_t kConfirmCommand = 0;

struct ExtendedFrame {
  std::uint8_t protId = kExtendedProtId;
  std::uint8_t cmd = 0;
  std::uint16_t fragCnt = 0;
  std::uint8_t seqNr = 0;
  std::uint8_t err = 0;
  std::vector<std::uint8_t> data;

  std::uint16_t Counter() const { return fragCnt & 0x7FFF; }
  bool MoreFollow() const { return (fragCnt & kMoreFragments) != 0; }
};

// Byte 4 tells an extended frame from a register telegram, whose byte 4 is its multipoint
// address, 0.
inline bool IsExtendedFrame(std::span<const std::uint8_t> bytes) {
  return bytes.size() > kExtendedIdOffset && bytes[kExtendedIdOffset] == kExtendedProtId;
}

enum class ExtendedFault { None, Length, Checksum, NotARequest };

struct ParsedExtended {
  ExtendedFault fault = ExtendedFault::None;
  ExtendedFrame frame;
};

// A whole request frame: start bytes FD 02, Len equal to its size, the byte sum.
ParsedExtended ParseExtendedRequest(std::span<const std::uint8_t> bytes);

// The frame as the device sends it.
std::vector<std::uint8_t> BuildExtendedAnswer(const ExtendedFrame& frame);

}  // namespace fennec::sim
