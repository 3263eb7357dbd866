#pragma once

#include <cstdint>
#include <span>

#include "Platform/Export.h"
#include "Communication/IConnection.h"
#include "ExtProtTypes.h"

class CProtDetection;
class CExtProtLogFile;

namespace fennec::ext {
struct ExtFrame;
}

// Sends one message of the extended protocol as fragments of the size the device announced,
// each acknowledged by the device, and reassembles the device's answer, acknowledging each of
// its fragments. A failed step is repeated up to three times. The connection, the detection
// and the trace log are not owned.
class FENNEC_API CExtFragmentation {
 public:
  static constexpr unsigned MAX_RETRIES = 3;

  CExtFragmentation(ORLA::IConnection* pComm, CProtDetection* pDetection, CExtProtLogFile* pLogFile);

  // Sends the pInfo->dwSendLen bytes of pMessage and reassembles the answer's data into the
  // pInfo->dwRecvLen bytes of pAnswer. Returns 0 when the answer is complete, else the code of
  // the step that failed last. Throws COrlaException for a message of more than 32767 fragments.
  std::uint32_t ExecuteFragmentation(const unsigned char* pMessage, T_FragInfo* pInfo, unsigned char* pAnswer);

  // Tells the device that data is missing (a 12-byte frame with the given Cmd and Err) and
  // reads its reply; the first non-zero code.
  std::uint32_t SendDataMissingErrCode(const T_FragInfo* pInfo);

  // Answer bytes stored by the last exchange.
  std::uint16_t GetReceivedDataCount() const { return m_usReceived; }

 private:
  std::uint32_t CreateFragment(std::span<const std::uint8_t> message, const T_FragInfo& info,
                               fennec::ext::ExtFrame& fragment);
  std::uint16_t NextFragmentCounter();
  std::uint32_t IsValidConfirmation(const fennec::ext::ExtFrame& received);
  std::uint32_t IsValidResponse(const fennec::ext::ExtFrame& received);
  std::uint32_t IsExtProtAnswer(const fennec::ext::ExtFrame& received) const;
  std::uint32_t ExtractAndReassembleData(const fennec::ext::ExtFrame& received, std::span<std::uint8_t> answer);
  void CreateConfirmation(fennec::ext::ExtFrame& confirmation) const;
  std::uint32_t StdProtExamination(fennec::ext::ExtFrame& received, std::span<const std::uint8_t> message,
                                   const fennec::ext::ExtFrame& sent) const;
  std::uint32_t WriteRS232(const fennec::ext::ExtFrame& frame);
  std::uint32_t ReadRS232(fennec::ext::ExtFrame& frame);
  std::uint32_t DrainAndFail(std::uint32_t code);
  std::size_t FragmentSize() const;

  std::uint16_t m_usReceived = 0;
  ORLA::IConnection* m_pComm;
  CProtDetection* m_pDetection;
  CExtProtLogFile* m_pLogFile;
  std::uint8_t m_bySentCmd = 0;
  std::uint8_t m_bySentSeqNr = 0;
  std::uint8_t m_bySentProtId = 0;
  int m_nState = 0;
  std::uint16_t m_usFragCounter = 0;
  std::uint8_t m_bySeqNr = 0;
  std::uint8_t m_byFragErrCode = 0;
  std::uint16_t m_usLastRecvCounter = 0;
};
