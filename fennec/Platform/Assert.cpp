#include "Platform/Assert.h"

#include <string>

#include "Platform/DebugOutput.h"

namespace fennec::platform {

void ReportAssertion(const char* condition, const char* file, int line) {
  DebugOutput({"Assertion failed: ", condition, "\n  File: ", file, "\n  Line: ",
               std::to_string(line), "\n"});
}

}  // namespace fennec::platform
