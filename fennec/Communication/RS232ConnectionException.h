#pragma once

#include <cstdint>

#include "Common/OrlaException.h"
#include "Platform/Export.h"

namespace ORLA {

// A failure of the serial transport: the failure text and operation number of the base, the
// system call that failed and the error code (already stored as the connection's last error).
class FENNEC_API CRS232ConnectionException : public COrlaException {
 public:
  CRS232ConnectionException(const char* text, int number, const char* systemCall, std::uint32_t errorCode);

  char m_szSystemCall[kTextSize];  // cut at kTextSize - 1 characters
  std::uint32_t m_dwErrorCode;
};

}  // namespace ORLA
