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
// of the protocols, or a framed answer that breaks the framed service protocol ("the data is
// invalid" in the system error numbering).
inline constexpr std::uint32_t kFramedLengthInvalid = kGroupPort | 0x000D;

// The TCP/IP transport: the family bit and the socket's errno in the low word. No group of the
// catalogue matches, so the number stays the system's own.
inline constexpr std::uint32_t kGroupSocket = 0x30000000;
constexpr std::uint32_t SocketErrorCode(int error) {
  return kGroupSocket | (static_cast<std::uint32_t>(error) & 0xFFFF);
}

inline constexpr std::uint32_t kPortNotOpen = kGroupPort | 0x0100;
inline constexpr std::uint32_t kNoAnswer = kGroupCommunication | 0x0200;
inline constexpr std::uint32_t kInvalidChecksum = kGroupCommunication | 0x0400;
inline constexpr std::uint32_t kInvalidStartIdentifier = kGroupCommunication | 0x0800;

// Coupler codes that the library or the program act on.
inline constexpr std::uint32_t kCouplerInvalidTable = kGroupCoupler | 0x8200;
inline constexpr std::uint32_t kCouplerInvalidArgumentCount = kGroupCoupler | 0x8210;
inline constexpr std::uint32_t kCouplerServiceNotSupported = kGroupCoupler | 0x8212;
inline constexpr std::uint32_t kCouplerEndOfVariableList = kGroupCoupler | 0x8213;
inline constexpr std::uint32_t kCouplerInvalidAddressRange = kGroupCoupler | 0x8215;
inline constexpr std::uint32_t kCouplerServiceBusy = kGroupCoupler | 0x821D;

// A register telegram the device rejected, with the device's 16-bit code.
constexpr std::uint32_t DeviceRejectionCode(std::uint16_t deviceCode) { return kGroupCoupler | deviceCode; }

// Whether a code came from the device itself rather than from the line or the port.
constexpr bool IsDeviceCode(std::uint32_t code) { return (code & 0xFFFF0000) == kGroupCoupler; }

// A non-zero service status: the coupler's codes (0x82xx, 0x83xx) join the device group, every
// other status (the terminal-bus codes 0x8000..0x800F in practice) the terminal-bus group.
constexpr std::uint32_t ServiceStatusCode(std::uint16_t status) {
  return (status & 0x8200) == 0x8200 ? kGroupCoupler + status : kGroupTerminalBus + status;
}

// A Read or Write given no buffer for its bytes ("the parameter is incorrect" in the system
// error numbering).
inline constexpr std::uint32_t kInvalidBuffer = kGroupCommunication | 0x0057;
// A failure the transport did not expect and cannot name.
inline constexpr std::uint32_t kUnknownFailure = 0xFFFFFFFF;

}  // namespace fennec
