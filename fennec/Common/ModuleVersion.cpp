#include "Common/ModuleVersion.h"

namespace fennec {

std::string LibraryFileVersion() { return FENNEC_FILE_VERSION; }

std::string LibraryBuildDate() { return __DATE__ " " __TIME__; }

}  // namespace fennec
