#pragma once

#include <cstdint>

namespace fennec {

// Codes of the serial transport, the legacy protocol and the device: bit 29 set, the group in
// bits 16 to 23, a 16-bit code below. The low word of group 0x2002 reads as a system error.
inline constexpr std::uint32_t kGroupCommunication = 0x20010000;
inline constexpr std::uint32_t kGroupPort = 0x20020000;
inline constexpr std::uint32_t kGroupTerminalBus = 0x20040000;
inline constexpr std::uint32_t kGroupCoupler = 0x20080000;

// Coupler codes 0x83xx: register communication with a module; 0x84xx: reading the module tables.
inline constexpr std::uint32_t kCouplerModuleRegisters = kGroupCoupler | 0x8300;
inline constexpr std::uint32_t kCouplerModuleTables = kGroupCoupler | 0x8400;

// A framed message whose length field is negative after correction or larger than any message
// of the protocols ("the data is invalid" in the system error numbering).
inline constexpr std::uint32_t kFramedLengthInvalid = kGroupPort | 0x000D;

}  // namespace fennec
