#include "Platform/CpuTime.h"

#include <time.h>

namespace fennec::platform {

namespace {

std::chrono::nanoseconds CpuTimeOf(clockid_t clock) {
  timespec now{};
  clock_gettime(clock, &now);
  return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

}  // namespace

std::chrono::nanoseconds ThreadCpuTime() { return CpuTimeOf(CLOCK_THREAD_CPUTIME_ID); }

std::chrono::nanoseconds ProcessCpuTime() { return CpuTimeOf(CLOCK_PROCESS_CPUTIME_ID); }

}  // namespace fennec::platform
