#pragma once

#include <chrono>
#include <cstdint>
#include <ctime>
#include <string>

#include "Platform/Export.h"

namespace fennec::platform {

// Blocks the calling thread for the given time.
FENNEC_API void Sleep(std::chrono::milliseconds duration);

// Seconds since 1970-01-01 UTC.
FENNEC_API std::int64_t CalendarTimeNow();

// Broken-down local time of a calendar time in the runtime's time zone; false when it
// cannot be represented.
FENNEC_API bool LocalTime(std::int64_t calendarTime, std::tm& out);

// The runtime's time-zone settings, read afresh from the environment.
struct TimeZoneInfo {
  std::int32_t biasSeconds = 0;  // standard time's distance west of UTC (UTC+1 gives -3600)
  bool daylight = false;         // the zone has a daylight-saving rule
  std::string daylightName;      // the name of its daylight-saving time, may be empty
};
FENNEC_API TimeZoneInfo CurrentTimeZone();

}  // namespace fennec::platform
