#pragma once

#include <filesystem>

#include "Platform/Export.h"

namespace fennec::platform {

// Whether a person can answer on standard input: it is a terminal, not a pipe or a file.
FENNEC_API bool StandardInputIsTerminal();
// Whether standard error shows on a terminal, where a line may be redrawn in place.
FENNEC_API bool StandardErrorIsTerminal();

// The folder of the running program's own file, empty when the system does not tell.
FENNEC_API std::filesystem::path ProgramFolder();

}  // namespace fennec::platform
