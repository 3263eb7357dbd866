#pragma once

#include <chrono>
#include <cstdint>

namespace fennec::sim {

// The time a request is handled: the monotonic clock for waits and busy times, calendar
// seconds for the device's real-time clock. Tests pass their own moments to the model.
struct Moment {
  std::chrono::steady_clock::time_point steady;
  std::int64_t calendar = 0;

  static Moment Now();

  Moment operator+(std::chrono::milliseconds later) const {
    return {steady + later, calendar + std::chrono::duration_cast<std::chrono::seconds>(later).count()};
  }
};

}  // namespace fennec::sim
