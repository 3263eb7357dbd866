#pragma once

#include "Platform/Export.h"

namespace fennec::platform {

// Reports a violated caller precondition on the debug output. Never aborts: the
// caller returns false without any exchange.
FENNEC_API void ReportAssertion(const char* condition, const char* file, int line);

}  // namespace fennec::platform

// Evaluates to the condition; a false condition is reported first.
// Use: if (!FENNEC_ASSERT(buffer != nullptr)) return false;
#define FENNEC_ASSERT(condition) FENNEC_ASSERT_TEXT(condition, #condition)

// The same with the reported text given, where the check is written differently from the
// condition callers know (for example an overflow-safe form of a sum).
#define FENNEC_ASSERT_TEXT(condition, text) \
  ((condition) ? true : (::fennec::platform::ReportAssertion(text, __FILE__, __LINE__), false))
