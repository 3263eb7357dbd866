#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

// The 18-byte header of the framed service protocol: every frame is this header and as many
// data bytes as its last field says. Built and checked here, apart from any connection.
namespace fennec::framed {

inline constexpr std::size_t kHeaderSize = 18;
// Where the data length lies in the header, and how wide it is.
inline constexpr unsigned kLengthPos = 16;
inline constexpr unsigned short kSizeOfLength = 2;

// Status bits.
inline constexpr std::uint16_t kErrorAbort = 0x0001;  // the device gives up the request
inline constexpr std::uint16_t kRepeat = 0x0002;      // the device wants a fragment again
inline constexpr std::uint16_t kFetch = 0x4000;       // answer: the response must be fetched; request: fetches a part
inline constexpr std::uint16_t kFragmented = 0x8000;  // request: it has more than one fragment

struct FrameHeader {
  std::uint16_t identifier = 0;      // the protocol identifier
  std::uint16_t requestNumber = 0;
  std::uint16_t fragmentNumber = 0;  // 1-based
  std::uint16_t totalFragments = 0;
  std::uint32_t reserved = 0;        // never compared
  std::uint16_t result = 0;          // 0 in a request; an answer with the same result is accepted
  std::uint16_t status = 0;
  std::uint16_t dataLength = 0;

  friend bool operator==(const FrameHeader&, const FrameHeader&) = default;
};

using HeaderBytes = std::array<std::uint8_t, kHeaderSize>;

HeaderBytes EncodeHeader(const FrameHeader& header);
FrameHeader DecodeHeader(std::span<const std::uint8_t, kHeaderSize> bytes);

// How an answer stands against the request frame it answers. For a field that differs, value is
// the answer's field; for an error abort, the answer's status bits.
enum class Verdict {
  Accepted,
  NotAccepted,  // the same frame, but another result, or other status bits without an abort
  WrongIdentifier,
  DifferentRequestNumber,
  DifferentFragmentNumber,
  DifferentTotal,
  ErrorAbort,
};
struct AnswerCheck {
  Verdict verdict = Verdict::Accepted;
  std::uint16_t value = 0;
};
AnswerCheck CheckAnswer(const FrameHeader& request, const FrameHeader& answer);

// The word at bytes 4 and 5 of an answer's data: the fragment to repeat from, or the number of
// fragments of a response to fetch. Nothing when the data is shorter.
std::optional<std::uint16_t> AnnouncedNumber(std::span<const std::uint8_t> data);

}  // namespace fennec::framed
