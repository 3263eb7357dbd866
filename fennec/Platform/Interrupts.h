#pragma once

#include <functional>

#include "Platform/Export.h"

namespace fennec::platform {

// The process's SIGINT and SIGTERM go to a thread of their own, which calls onSignal with the
// signal's number, one at a time; no other thread is interrupted by them. Call it before any
// other thread starts: threads inherit the blocked signals.
FENNEC_API void RouteInterrupts(std::function<void(int signal)> onSignal);

// Clears the exclusive flag of every serial port this process holds open, so that the next
// program gets them even when this one ends without closing them.
FENNEC_API void ReleaseExclusivePorts();

// Ends the process at once with the status, running no destructors and no other thread: the
// system closes the descriptors and releases their locks.
[[noreturn]] FENNEC_API void ExitAtOnce(int status);

}  // namespace fennec::platform
