#pragma once

#include <cstddef>
#include <cstdint>

namespace fennec::sim {

// The device's register tables (of device 0, the coupler itself).
inline constexpr std::uint8_t kCouplerTable = 0;
inline constexpr std::uint8_t kServiceTable = 99;
inline constexpr std::uint8_t kEthernetTable = 100;
// A table beyond the telegram's reach: more registers than its 8-bit register numbers count.
inline constexpr std::uint8_t kWideTable = 110;
inline constexpr std::uint8_t kProtocolTable = 124;
inline constexpr std::uint8_t kStateTable = 127;

// Room for the largest request or response block.
inline constexpr std::size_t kServiceTableSize = 44;
// The save state in table 127.
inline constexpr std::uint8_t kSaveStateRegister = 1;
// The first of the IPv4 address, subnet mask and gateway pairs in table 100 (32-bit generation).
inline constexpr std::uint8_t kIpAddressRegister = 9;

}  // namespace fennec::sim
