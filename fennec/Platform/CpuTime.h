#pragma once

#include <chrono>

namespace fennec::platform {

// Processor time the calling thread has used so far, for benchmarks that want the cost of the
// caller's own work apart from the threads beside it.
std::chrono::nanoseconds ThreadCpuTime();

// Processor time the whole process has used so far.
std::chrono::nanoseconds ProcessCpuTime();

}  // namespace fennec::platform
