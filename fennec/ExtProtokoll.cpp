#include "ExtProtokoll.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <vector>

#include "Common/ByteOrder.h"
#include "Common/OrlaException.h"
#include "ExtFrame.h"
#include "ExtMessage.h"
#include "ExtResultCodes.h"
#include "Platform/Assert.h"
#include "ProtDetection.h"

namespace ext = fennec::ext;

namespace {

constexpr std::array<unsigned char, 2> kTestPattern{0x55, 0xAA};

[[noreturn]] void ThrowInvalidCommand(std::uint8_t accessType) {
  char text[64];
  std::snprintf(text, sizeof text, "Ungültiges Kommando: 0x%X", accessType);
  throw COrlaException(text, ext::kInvalidCommand);
}

// The payload bytes of an answer that actually arrived, at most `wanted` of them.
std::span<const std::uint8_t> ArrivedPayload(std::span<const std::uint8_t> answer, std::size_t received,
                                             std::size_t wanted) {
  const std::size_t arrived = std::min(received, answer.size()) - std::min(received, ext::kMessageHeader);
  return answer.subspan(ext::kMessageHeader, std::min(arrived, wanted));
}

}  // namespace

CExtProtokoll::CExtProtokoll(ORLA::IConnection* pComm, CProtDetection* pDetection, CExtProtLogFile* pLogFile)
    : m_pDetection(pDetection), m_Fragmentation(pComm, pDetection, pLogFile) {}

std::uint32_t CExtProtokoll::ExecuteRegComm(std::uint16_t* data, T_RegComInfo info) {
  const bool write = info.AccessType == EXT_REG_WRITE;
  if (info.AccessType != EXT_REG_READ && !write) ThrowInvalidCommand(info.AccessType);
  if (!FENNEC_ASSERT(data != nullptr || info.RegCnt == 0)) return ext::kNoMemory;
  const std::uint32_t words = 2u * info.RegCnt;
  const std::uint32_t send = ext::kMessageHeader + (write ? words : 0);
  const std::uint32_t receive = ext::kMessageHeader + (write ? 0 : words);
  if (const std::uint32_t refused = CheckMessageSize(send, receive)) return refused;

  const std::vector<std::uint8_t> message =
      ext::BuildRegisterMessage(info, write ? std::span<const std::uint16_t>(data, info.RegCnt) : std::span<const std::uint16_t>());
  std::vector<std::uint8_t> answer(receive, 0);
  if (const std::uint32_t failed = Exchange(info.AccessType, message.data(), send, answer.data(), receive))
    return failed;

  const ext::AnswerCheck check = ext::CheckRegisterAnswer(answer, m_Fragmentation.GetReceivedDataCount(), info);
  if (check.result == 0 && check.deviceError != 0)
    throw COrlaException("Fehler bei der Registerkommunikation", check.deviceError);
  if (check.result == ext::kLengthNotReceived) {
    const T_FragInfo notice{0, 0, ext::kConfirmation, 0, ext::kErrDataMissing};
    m_Fragmentation.SendDataMissingErrCode(&notice);
  }
  if (check.result != 0) return check.result;
  if (!write) {
    auto payload = std::span<const std::uint8_t>(answer).subspan(ext::kMessageHeader);
    for (std::uint16_t i = 0; i < info.RegCnt; ++i) data[i] = fennec::LoadU16LE(payload.subspan(2u * i).first<2>());
  }
  return 0;
}

std::uint32_t CExtProtokoll::ExecuteService(unsigned char* data, const T_SrvComInfo& info) {
  if (!FENNEC_ASSERT(data != nullptr || (info.WrArg == 0 && info.RdArg == 0))) return ext::kNoMemory;
  const std::uint32_t send = ext::kMessageHeader + info.WrArg;
  const std::uint32_t receive = ext::kMessageHeader + info.RdArg;
  if (const std::uint32_t refused = CheckMessageSize(send, receive)) return refused;

  const std::vector<std::uint8_t> message =
      ext::BuildServiceMessage(info, std::span<const std::uint8_t>(data, info.WrArg));
  std::vector<std::uint8_t> answer(receive, 0);
  if (const std::uint32_t failed = Exchange(ext::kServiceCommand, message.data(), send, answer.data(), receive))
    return failed;

  const std::size_t received = m_Fragmentation.GetReceivedDataCount();
  const ext::AnswerCheck check = ext::CheckServiceAnswer(answer, received, info);
  if (check.result == 0 && check.deviceError != 0)
    throw COrlaException("Fehler beim Ausführen des Service", check.deviceError);
  if (check.result != 0 && check.result != ext::kLengthNotExpected && check.result != ext::kLengthNotReceived)
    return check.result;
  // A shorter answer gives the caller what arrived and nothing of an earlier call.
  const auto payload = ArrivedPayload(answer, received, info.RdArg);
  std::fill(std::copy(payload.begin(), payload.end(), data), data + info.RdArg, 0);
  return check.result;
}

std::uint32_t CExtProtokoll::TestCommand(const unsigned char* data, std::uint16_t length) {
  if (!FENNEC_ASSERT(data != nullptr || length == 0)) return ext::kNoMemory;
  std::vector<unsigned char> echo(length, 0);
  std::size_t echoed = 0;
  const std::uint32_t check = CheckMessageSize(length, length);
  const std::size_t fragmentSize = m_pDetection->GetFragmentSize();
  if (check == ext::kBeyondFragment && fragmentSize > 0) {
    // Without fragmentation the bytes go in pieces of one fragment, each echoed on its own.
    for (std::size_t offset = 0; offset < length; offset += fragmentSize) {
      const auto piece = static_cast<std::uint32_t>(std::min<std::size_t>(fragmentSize, length - offset));
      if (const std::uint32_t failed = Exchange(ext::kEchoCommand, data + offset, piece, echo.data() + offset, piece))
        return failed;
      echoed += m_Fragmentation.GetReceivedDataCount();
    }
  } else if (check != 0) {
    return check;
  } else {
    if (const std::uint32_t failed = Exchange(ext::kEchoCommand, data, length, echo.data(), length)) return failed;
    echoed = m_Fragmentation.GetReceivedDataCount();
  }
  return echoed == length && std::equal(echo.begin(), echo.end(), data) ? 0 : ext::kEchoDiffers;
}

std::uint32_t CExtProtokoll::TestCommand() { return TestCommand(kTestPattern.data(), kTestPattern.size()); }

std::uint32_t CExtProtokoll::CheckMessageSize(std::uint32_t send, std::uint32_t receive) const {
  return ext::CheckMessageSize(send, receive,
                               {m_pDetection->GetFragmentSize(), m_pDetection->GetTargetBufSize(),
                                m_pDetection->GetFragmentEnable()});
}

std::uint32_t CExtProtokoll::Exchange(std::uint8_t command, const unsigned char* message, std::uint32_t send,
                                      unsigned char* answer, std::uint32_t receive) {
  T_FragInfo info{send, receive, command, 0, 0};
  return m_Fragmentation.ExecuteFragmentation(message, &info, answer);
}
