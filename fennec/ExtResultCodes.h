#pragma once

#include <cstdint>

// Results of the extended protocol's fragmentation and message layers (0: success), and the
// fragment error codes carried in the Err byte of confirmations and repeated fragments. Other
// results are the device's Err or the connection's code.
namespace fennec::ext {

inline constexpr std::uint32_t kNoMemory = 1;
inline constexpr std::uint32_t kNoFrame = 2;
inline constexpr std::uint32_t kWrongHeader = 3;
inline constexpr std::uint32_t kWrongChecksum = 4;
inline constexpr std::uint32_t kTable124Checksum = 10;
inline constexpr std::uint32_t kEchoDiffers = 11;
inline constexpr std::uint32_t kCounterZero = 12;
inline constexpr std::uint32_t kRepeatedFragment = 13;
inline constexpr std::uint32_t kOutOfOrder = 14;
inline constexpr std::uint32_t kAnswerCut = 15;
inline constexpr std::uint32_t kFragmentTooLong = 16;
inline constexpr std::uint32_t kFragmentWithoutData = 17;
inline constexpr std::uint32_t kWrongCommand = 18;
inline constexpr std::uint32_t kWrongSeqNr = 19;
inline constexpr std::uint32_t kWrongProtId = 20;
inline constexpr std::uint32_t kRegisterDiffers = 22;
inline constexpr std::uint32_t kTableDiffers = 23;
inline constexpr std::uint32_t kModuleDiffers = 24;
inline constexpr std::uint32_t kLengthNotExpected = 25;
inline constexpr std::uint32_t kLengthNotReceived = 26;
inline constexpr std::uint32_t kRdArgDiffers = 27;
inline constexpr std::uint32_t kWrArgDiffers = 28;
inline constexpr std::uint32_t kServiceDiffers = 29;
inline constexpr std::uint32_t kGroupDiffers = 30;
inline constexpr std::uint32_t kBeyondTargetBuffer = 31;
inline constexpr std::uint32_t kBeyondFragment = 32;
inline constexpr std::uint32_t kOldProtocolAnswer = 33;

inline constexpr std::uint8_t kErrBufferTooSmall = 1;
inline constexpr std::uint8_t kErrFragmentTooLong = 2;
inline constexpr std::uint8_t kErrSeqNr = 4;
inline constexpr std::uint8_t kErrCommand = 5;
inline constexpr std::uint8_t kErrNoData = 6;
inline constexpr std::uint8_t kErrDataMissing = 11;

// Numbers of the exceptions the protocol throws.
inline constexpr int kTooManyFragments = 111;
inline constexpr int kInvalidCommand = 543;
inline constexpr int kInvalidState = 654;

}  // namespace fennec::ext
