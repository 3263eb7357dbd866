#pragma once

#include "Common/Export.h"

namespace fennec::platform {

// Reports a violated caller precondition on the debug output. Never aborts: the
// caller returns false without any exchange.
FENNEC_API void ReportAssertion(const char* condition, const char* file, int line);

}  // namespace fennec::platform

// Evaluates to the condition; a false condition is reported first.
// Use: if (!FENNEC_ASSERT(buffer != nullptr)) return false;
#define FENNEC_ASSERT(condition) \
  ((condition) ? true : (::fennec::platform::ReportAssertion(#condition, __FILE__, __LINE__), false))
