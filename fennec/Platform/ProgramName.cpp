#include "Platform/ProgramName.h"

#include <errno.h>  // program_invocation_short_name

namespace fennec::platform {

std::string ProgramName() { return program_invocation_short_name; }

}  // namespace fennec::platform
