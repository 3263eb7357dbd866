#pragma once

#include <chrono>

namespace fennec::platform {

// Milliseconds left until the deadline as a wait of the system's poll takes them, rounded up
// so that a wait never ends before its deadline; 0 once the deadline has passed.
inline int PollTimeout(std::chrono::steady_clock::time_point deadline) {
  const auto left = deadline - std::chrono::steady_clock::now();
  if (left <= std::chrono::steady_clock::duration::zero()) return 0;
  return static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(left).count());
}

}  // namespace fennec::platform
