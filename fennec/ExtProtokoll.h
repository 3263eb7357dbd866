#pragma once

#include <cstdint>

#include "Platform/Export.h"
#include "Communication/IConnection.h"
#include "ExtFragmentation.h"
#include "ExtProtTypes.h"

class CProtDetection;
class CExtProtLogFile;

// The messages of the extended protocol: register access, services and the echo test, each
// checked against the limits the device announced, sent through the fragmentation layer and
// its answer compared with the request. A device error in an answer is thrown as a
// COrlaException carrying the device's code. Nothing given to the constructor is owned.
class FENNEC_API CExtProtokoll {
 public:
  CExtProtokoll(ORLA::IConnection* pComm, CProtDetection* pDetection, CExtProtLogFile* pLogFile);

  // One register read (access type 1, RegCnt words into data) or write (2, RegCnt words from
  // data). Returns 0 or a code.
  std::uint32_t ExecuteRegComm(std::uint16_t* data, T_RegComInfo info);
  // One service: data holds WrArg argument bytes and receives RdArg result bytes. With the
  // results 25 and 26 the bytes that arrived are copied as well, the rest of RdArg cleared.
  std::uint32_t ExecuteService(unsigned char* data, const T_SrvComInfo& info);
  // The device echoes the bytes; 0 when they all come back, 11 when not.
  std::uint32_t TestCommand(const unsigned char* data, std::uint16_t length);
  // The echo test with the two bytes 0x55, 0xAA.
  std::uint32_t TestCommand();

 private:
  std::uint32_t CheckMessageSize(std::uint32_t send, std::uint32_t receive) const;
  std::uint32_t Exchange(std::uint8_t command, const unsigned char* message, std::uint32_t send,
                         unsigned char* answer, std::uint32_t receive);

  CProtDetection* m_pDetection;
  CExtFragmentation m_Fragmentation;
};
