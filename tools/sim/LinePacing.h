#pragma once

#include <chrono>
#include <cstddef>

namespace fennec::sim {

// A byte on the serial line at 8E1 takes 11 bit times: start, eight data bits, parity, stop.
inline constexpr unsigned kBitsPerByte = 11;

// The time the bytes take on a line of that baud rate; zero for baud 0 (no pacing).
std::chrono::nanoseconds WireTime(std::size_t bytes, unsigned baud);

// How many of total bytes a line of that baud rate has carried after elapsed time; all of
// them for baud 0.
std::size_t BytesDue(std::chrono::nanoseconds elapsed, unsigned baud, std::size_t total);

}  // namespace fennec::sim
