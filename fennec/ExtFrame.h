#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// The frame of the extended protocol as bytes, without any I/O. On the wire: two start bytes
// (FD 02 from the PC, 02 FD from the device), the 16-bit Len of the whole frame, ProtID, Cmd,
// the 16-bit FragCnt, SeqNr, Err, at most FragmentSize data bytes and the 16-bit byte sum of
// everything before it. All 16-bit fields are little-endian.
namespace fennec::ext {

inline constexpr std::uint8_t kProtId = '$';
inline constexpr std::size_t kFrameOverhead = 12;  // a frame without data
inline constexpr std::size_t kLeadLength = 4;      // start bytes and Len, read before the rest
inline constexpr std::uint16_t kMoreFragments = 0x8000;
inline constexpr std::uint16_t kCounterMask = 0x7FFF;
inline constexpr std::uint8_t kAnswerFlag = 0x80;  // in the Cmd of an answer
inline constexpr std::uint8_t kConfirmation = 0;
inline constexpr std::uint8_t kServiceCommand = 3;
inline constexpr std::uint8_t kEchoCommand = 127;

// A frame as the fragmentation layer keeps it: the fields between the start bytes and the
// checksum.
struct ExtFrame {
  std::uint8_t protId = 0;
  std::uint8_t cmd = 0;
  std::uint16_t fragCnt = 0;
  std::uint8_t seqNr = 0;
  std::uint8_t err = 0;
  std::vector<std::uint8_t> data;

  std::size_t Len() const { return kFrameOverhead + data.size(); }
  std::uint16_t Counter() const { return fragCnt & kCounterMask; }
  bool MoreFollow() const { return (fragCnt & kMoreFragments) != 0; }
  friend bool operator==(const ExtFrame&, const ExtFrame&) = default;
};

// The frame as the PC sends it, with start bytes and checksum.
std::vector<std::uint8_t> EncodeRequest(const ExtFrame& frame);

enum class LeadVerdict { Good, WrongHeader, BadLength };

struct LeadCheck {
  LeadVerdict verdict;
  std::size_t remaining = 0;  // bytes still to read when the lead is good
};

// Judges the start bytes and Len of a frame from the device before anything more is read. A
// Len outside 12 .. fragmentSize + 12 cannot be trusted: it would read past the fragment.
LeadCheck CheckLead(std::span<const std::uint8_t, kLeadLength> lead, std::size_t fragmentSize);

// The fields of a whole frame (lead already judged, Len bytes long); nothing when the checksum
// does not match or the length is not the frame's.
std::optional<ExtFrame> DecodeFrame(std::span<const std::uint8_t> frame);

}  // namespace fennec::ext
