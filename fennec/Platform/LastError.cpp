#include "Platform/LastError.h"

namespace fennec::platform {

namespace {
thread_local std::uint32_t t_lastError = 0;
}

void SetThreadLastError(std::uint32_t code) { t_lastError = code; }

std::uint32_t GetThreadLastError() { return t_lastError; }

}  // namespace fennec::platform
