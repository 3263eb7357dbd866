#pragma once

#include <string>

namespace fennec::platform {

// The name the running program was started under, without its folder.
std::string ProgramName();

}  // namespace fennec::platform
