#pragma once

#include <cstdint>

#include "Platform/Export.h"
#include "Common/OrlaException.h"

namespace ORLA {

// A failure of the TCP/IP transport: the failure text and operation number of the base, the
// socket call that failed and the error code, 0x30000000 OR the socket's errno (already stored
// as the connection's last error when a connection threw it).
class FENNEC_API CTCPIPConnectionException : public COrlaException {
 public:
  CTCPIPConnectionException(const char* text, int number, const char* systemCall, std::uint32_t errorCode);

  char m_szSystemCall[kTextSize];  // cut at kTextSize - 1 characters
  std::uint32_t m_dwErrorCode;
};

}  // namespace ORLA
