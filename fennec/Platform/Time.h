#pragma once

#include <chrono>
#include <cstdint>
#include <ctime>

#include "Common/Export.h"

namespace fennec::platform {

// Blocks the calling thread for the given time.
FENNEC_API void Sleep(std::chrono::milliseconds duration);

// Seconds since 1970-01-01 UTC.
FENNEC_API std::int64_t CalendarTimeNow();

// Broken-down local time of a calendar time in the runtime's time zone; false when it
// cannot be represented.
FENNEC_API bool LocalTime(std::int64_t calendarTime, std::tm& out);

}  // namespace fennec::platform
