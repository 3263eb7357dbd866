#pragma once

#include <string>
#include <typeinfo>

namespace fennec::platform {

// The readable name of a run-time type, such as "ORLA::CRS232ConnectionException".
std::string ReadableTypeName(const std::type_info& type);

}  // namespace fennec::platform
