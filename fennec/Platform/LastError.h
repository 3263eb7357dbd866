#pragma once

#include <cstdint>

#include "Platform/Export.h"

namespace fennec::platform {

// The calling thread's last-error value: every layer leaves its failure code here
// before a failure leaves it, and the error catalogue reads it from here.
FENNEC_API void SetThreadLastError(std::uint32_t code);
FENNEC_API std::uint32_t GetThreadLastError();

}  // namespace fennec::platform
