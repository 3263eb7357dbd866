#include "Moment.h"

#include "Platform/Time.h"

namespace fennec::sim {

Moment Moment::Now() { return {std::chrono::steady_clock::now(), platform::CalendarTimeNow()}; }

}  // namespace fennec::sim
