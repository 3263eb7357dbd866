#include "Communication/TCPIPConnectionException.h"

namespace ORLA {

CTCPIPConnectionException::CTCPIPConnectionException(const char* text, int number, const char* systemCall,
                                                     std::uint32_t errorCode)
    : COrlaException(text, number), m_dwErrorCode(errorCode) {
  fennec::CopyCut(m_szSystemCall, systemCall);
}

}  // namespace ORLA
