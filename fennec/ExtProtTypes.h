#pragma once

#include <cstdint>

// The descriptions callers and the layers of the extended protocol hand each other.

// One message exchange of the fragmentation layer.
struct T_FragInfo {
  std::uint32_t dwSendLen;  // bytes of the message to send
  std::uint32_t dwRecvLen;  // bytes expected back: the size of the answer buffer
  std::uint8_t byCmd;
  std::uint8_t bySeqNr;    // set by the fragmentation layer
  std::uint8_t byErrCode;  // 0 in requests
};

// Access types of a register message; each is also the message's command.
inline constexpr std::uint8_t EXT_REG_READ = 1;
inline constexpr std::uint8_t EXT_REG_WRITE = 2;

// One register access: module, table, first register, count and the access type.
struct T_RegComInfo {
  std::uint16_t KlNr;
  std::uint16_t TabNr;
  std::uint16_t RegNr;
  std::uint16_t RegCnt;
  std::uint8_t AccessType;
};

// One service; WrArg and RdArg count bytes.
struct T_SrvComInfo {
  std::uint16_t SrvGrp;
  std::uint16_t SrvNr;
  std::uint16_t WrArg;
  std::uint16_t RdArg;
};

// The six header words of a register message; RegCnt words follow in a write request and in a
// read answer.
struct T_ExtendedRegComHdr {
  std::uint16_t usLen;  // message bytes, header included
  std::uint16_t KlNr;
  std::uint16_t TabNr;
  std::uint16_t RegNr;
  std::uint16_t RegCnt;
  std::uint16_t Err;  // the device's code in an answer
};

// The six header words of a service message; WrArg bytes follow in the request, RdArg bytes in
// the answer.
struct T_ExtendedSrvComHdr {
  std::uint16_t usLen;
  std::uint16_t SrvGrp;
  std::uint16_t SrvNr;
  std::uint16_t WrArg;
  std::uint16_t RdArg;
  std::uint16_t Err;
};
