#include "Platform/Time.h"

#include <time.h>

#include <thread>

namespace fennec::platform {

void Sleep(std::chrono::milliseconds duration) { std::this_thread::sleep_for(duration); }

std::int64_t CalendarTimeNow() {
  return std::chrono::duration_cast<std::chrono::seconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

bool LocalTime(std::int64_t calendarTime, std::tm& out) {
  const std::time_t t = static_cast<std::time_t>(calendarTime);
  return localtime_r(&t, &out) != nullptr;
}

TimeZoneInfo CurrentTimeZone() {
  tzset();
  TimeZoneInfo zone;
  zone.biasSeconds = static_cast<std::int32_t>(timezone);
  zone.daylight = daylight != 0;
  zone.daylightName = tzname[1] ? tzname[1] : "";
  return zone;
}

}  // namespace fennec::platform
