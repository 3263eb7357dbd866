#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <stop_token>
#include <thread>
#include <vector>

#include "Platform/PseudoTerminal.h"

// The device side of a pseudo-terminal line, played by a thread of the test: bytes sent late
// or one at a time.

// Sends the bytes after the delay.
inline std::jthread SendAfter(fennec::platform::PseudoTerminal& line, std::chrono::milliseconds delay,
                              std::vector<std::uint8_t> bytes) {
  return std::jthread([&line, delay, bytes = std::move(bytes)] {
    std::this_thread::sleep_for(delay);
    line.Send(bytes);
  });
}

// Sends one byte per period until the bytes run out or the thread is told to stop.
inline std::jthread Trickle(fennec::platform::PseudoTerminal& line, std::chrono::milliseconds period,
                            std::vector<std::uint8_t> bytes) {
  return std::jthread([&line, period, bytes = std::move(bytes)](std::stop_token stop) {
    std::mutex mutex;
    std::condition_variable_any wake;
    for (std::uint8_t byte : bytes) {
      std::unique_lock lock(mutex);
      wake.wait_for(lock, stop, period, [] { return false; });
      if (stop.stop_requested()) return;
      line.Send(std::vector<std::uint8_t>{byte});
    }
  });
}
