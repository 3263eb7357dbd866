#pragma once

#include <string>

#include "Platform/Export.h"

namespace fennec {

// The library's file version ("4.5.0") and the date it was built, fixed at compile time.
FENNEC_API std::string LibraryFileVersion();
FENNEC_API std::string LibraryBuildDate();

}  // namespace fennec
