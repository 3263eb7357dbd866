#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "ExtProtTypes.h"

// The messages the extended protocol carries in its fragments, as bytes: a header of six
// little-endian words, then the payload. Built and checked without any I/O.
namespace fennec::ext {

inline constexpr std::size_t kMessageHeader = 12;
// usLen is 16 bits wide: no message may be longer.
inline constexpr std::uint32_t kMaxMessage = 0xFFFF;
inline constexpr std::uint32_t kMaxRegisterCount = (kMaxMessage - kMessageHeader) / 2;

// What the device announced in its table 124.
struct ProtocolLimits {
  std::size_t fragmentSize = 0;
  std::size_t targetBufSize = 0;  // 0: no limit
  bool fragmentEnable = false;
};

// Whether a message of `send` bytes with an answer of `receive` bytes can be exchanged at all:
// 0, 31 (beyond the device's receive buffer, or beyond what usLen can say) or 32 (beyond one
// fragment while fragmentation is off, or no fragment can carry data).
std::uint32_t CheckMessageSize(std::uint32_t send, std::uint32_t receive, const ProtocolLimits& limits);

// The request of a register access; `words` are the data of a write (empty for a read).
std::vector<std::uint8_t> BuildRegisterMessage(const T_RegComInfo& info, std::span<const std::uint16_t> words);
// The request of a service with its WrArg argument bytes.
std::vector<std::uint8_t> BuildServiceMessage(const T_SrvComInfo& info, std::span<const std::uint8_t> arguments);

struct AnswerCheck {
  std::uint32_t result = 0;
  std::uint16_t deviceError = 0;  // the answer's Err, once everything else matched
};

// An answer of `received` bytes (in an answer buffer of the expected length) compared with the
// request: usLen against the bytes received (26) and the length expected (25), then the fields
// the answer repeats.
AnswerCheck CheckRegisterAnswer(std::span<const std::uint8_t> answer, std::size_t received,
                                const T_RegComInfo& request);
AnswerCheck CheckServiceAnswer(std::span<const std::uint8_t> answer, std::size_t received,
                               const T_SrvComInfo& request);

}  // namespace fennec::ext
