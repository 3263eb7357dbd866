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

}  // namespace fennec
