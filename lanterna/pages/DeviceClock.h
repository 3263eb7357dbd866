#pragma once

#include <cstdint>

namespace lanterna {

// The device's real-time clock as the service object reaches it: seconds since 1970-01-01 UTC
// and the time-zone word. A failing call leaves its code in the thread's last-error value.
class IDeviceClock {
 public:
  virtual ~IDeviceClock() = default;
  virtual bool GetRealTimeClock(std::uint32_t& seconds, std::uint16_t& zoneWord) = 0;
  virtual bool SetRealTimeClock(std::uint32_t seconds, std::uint16_t zoneWord) = 0;
};

}  // namespace lanterna
