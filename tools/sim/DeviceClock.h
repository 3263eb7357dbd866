#pragma once

#include <cstdint>

namespace fennec::sim {

// The device's battery-backed real-time clock: UTC seconds since 1970 that run on from the
// time they were set, and the time-zone word stored beside them. Kept as an offset from the
// host's calendar time so that it survives in the non-volatile memory file.
class DeviceClock {
 public:
  DeviceClock() = default;
  DeviceClock(std::int64_t offset, std::uint16_t timeZone) : m_offset(offset), m_timeZone(timeZone) {}

  std::uint32_t Seconds(std::int64_t calendarNow) const {
    return static_cast<std::uint32_t>(calendarNow + m_offset);
  }
  std::uint16_t TimeZone() const { return m_timeZone; }

  void Set(std::uint32_t seconds, std::uint16_t timeZone, std::int64_t calendarNow) {
    m_offset = static_cast<std::int64_t>(seconds) - calendarNow;
    m_timeZone = timeZone;
  }

  std::int64_t Offset() const { return m_offset; }

 private:
  std::int64_t m_offset = 0;
  std::uint16_t m_timeZone = 0;
};

}  // namespace fennec::sim
