#pragma once

#include <cstdint>

namespace fennec {

// Codes of the serial transport, the legacy protocol and the device: bit 29 set, the group in
// bits 16 to 23, a 16-bit code below. The low word of group 0x2002 reads as a system error.
inline constexpr std::uint32_t kGroupCommunication = 0x20010000;
inline constexpr std::uint32_t kGroupPort = 0x20020000;

// A framed message whose length field is negative after correction or larger than any message
// of the protocols ("the data is invalid" in the system error numbering).
inline constexpr std::uint32_t kFramedLengthInvalid = kGroupPort | 0x000D;

inline constexpr std::uint32_t kPortNotOpen = kGroupPort | 0x0100;
inline constexpr std::uint32_t kNoAnswer = kGroupCommunication | 0x0200;

// A Read or Write given no buffer for its bytes ("the parameter is incorrect" in the system
// error numbering).
inline constexpr std::uint32_t kInvalidBuffer = kGroupCommunication | 0x0057;
// A failure the transport did not expect and cannot name.
inline constexpr std::uint32_t kUnknownFailure = 0xFFFFFFFF;

}  // namespace fennec
