#pragma once

#include <cstdint>

namespace fennec::sim {

// Status words of the device: in a rejected register telegram and as a service's status.
namespace status {
inline constexpr std::uint16_t kOk = 0x0000;
inline constexpr std::uint16_t kInvalidTable = 0x8200;
inline constexpr std::uint16_t kWriteDisabled = 0x8202;
inline constexpr std::uint16_t kWriteError = 0x8203;
inline constexpr std::uint16_t kInvalidArgumentCount = 0x8210;
inline constexpr std::uint16_t kPreviousNotReady = 0x8211;
inline constexpr std::uint16_t kUnknownService = 0x8212;
inline constexpr std::uint16_t kInvalidArgument = 0x8213;  // also: end of the internal-variable list
inline constexpr std::uint16_t kServiceRejected = 0x8214;
inline constexpr std::uint16_t kAddressRange = 0x8215;
inline constexpr std::uint16_t kInvalidRegisterCount = 0x8216;
inline constexpr std::uint16_t kTableProtected = 0x821C;
inline constexpr std::uint16_t kServiceRunning = 0x821D;
inline constexpr std::uint16_t kNoModuleRegisters = 0x8300;
}  // namespace status

}  // namespace fennec::sim
