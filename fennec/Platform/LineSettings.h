#pragma once

#include <chrono>
#include <cstdint>

namespace fennec::platform {

// The numbering of the serial API's device-control block, which the settings' word tables use.
enum class Parity : std::uint8_t { None = 0, Odd = 1, Even = 2, Mark = 3, Space = 4 };
enum class StopBits : std::uint8_t { One = 0, OnePointFive = 1, Two = 2 };
enum class DtrControl : std::uint8_t { Disable = 0, Enable = 1, Handshake = 2 };
enum class RtsControl : std::uint8_t { Disable = 0, Enable = 1, Handshake = 2, Toggle = 3 };

// What a serial line is configured with.
struct LineSettings {
  std::uint32_t baudRate = 19200;
  std::uint16_t dataBits = 8;
  Parity parity = Parity::None;
  StopBits stopBits = StopBits::One;
  bool ctsFlow = false;
  bool dsrFlow = false;
  DtrControl dtr = DtrControl::Disable;
  RtsControl rts = RtsControl::Disable;

  bool operator==(const LineSettings&) const = default;
};

// The time one character takes on the line, every bit counted: start bit, data bits, the
// parity bit when there is one, and the stop bits. Zero for a baud rate of 0.
std::chrono::microseconds CharacterTime(const LineSettings& settings);

}  // namespace fennec::platform
