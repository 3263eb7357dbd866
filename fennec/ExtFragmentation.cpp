#include "ExtFragmentation.h"

#include <cstdio>
#include <new>
#include <vector>

#include "Common/ErrorCodes.h"
#include "Common/OrlaException.h"
#include "ExtFragments.h"
#include "ExtFrame.h"
#include "ExtProtLogFile.h"
#include "ExtResultCodes.h"
#include "Platform/Assert.h"
#include "Platform/LastError.h"
#include "ProtDetection.h"

using fennec::ext::ExtFrame;
namespace ext = fennec::ext;

namespace {

enum State { kStart, kBuild, kSend, kReceive, kStore, kConfirm, kError, kMarkRetry };

constexpr std::uint16_t kMaxFragments = 32767;

}  // namespace

CExtFragmentation::CExtFragmentation(ORLA::IConnection* pComm, CProtDetection* pDetection, CExtProtLogFile* pLogFile)
    : m_pComm(pComm), m_pDetection(pDetection), m_pLogFile(pLogFile) {}

std::size_t CExtFragmentation::FragmentSize() const { return m_pDetection->GetFragmentSize(); }

std::uint32_t CExtFragmentation::ExecuteFragmentation(const unsigned char* pMessage, T_FragInfo* pInfo,
                                                      unsigned char* pAnswer) {
  if (!FENNEC_ASSERT(pInfo != nullptr) || !FENNEC_ASSERT(pMessage != nullptr || pInfo->dwSendLen == 0) ||
      !FENNEC_ASSERT(pAnswer != nullptr || pInfo->dwRecvLen == 0))
    return ext::kNoMemory;
  // Without room for data no fragment could ever carry the message.
  if (FragmentSize() == 0) return ext::kBeyondFragment;
  const std::span<const std::uint8_t> message(pMessage, pInfo->dwSendLen);
  const std::span<std::uint8_t> answer(pAnswer, pInfo->dwRecvLen);
  m_usReceived = 0;
  m_usLastRecvCounter = 0;
  m_usFragCounter = 0;
  m_byFragErrCode = 0;
  unsigned retries = 0;
  bool confirmationSent = false;
  int failedState = kStart;
  std::uint32_t result = 0;
  const auto next = [&](std::uint32_t stepResult, int onSuccess) {
    if (stepResult == 0) {
      m_nState = onSuccess;
      return;
    }
    result = stepResult;
    failedState = m_nState;
    m_nState = kError;
  };

  try {
    ExtFrame sent;
    ExtFrame received;
    m_nState = kStart;
    for (;;) {
      switch (m_nState) {
        case kStart:
          pInfo->bySeqNr = ++m_bySeqNr;
          m_nState = kBuild;
          break;
        case kBuild:
          sent = {};
          next(CreateFragment(message, *pInfo, sent), kSend);
          break;
        case kSend:
          next(WriteRS232(sent), kReceive);
          break;
        case kReceive: {
          received = {};
          if (const std::uint32_t failed = ReadRS232(received)) {
            next(failed, kError);
          } else if (IsExtProtAnswer(received) != 0) {
            next(StdProtExamination(received, message, sent), kStore);
          } else if (received.cmd != ext::kConfirmation) {
            next(IsValidResponse(received), kStore);
          } else if (IsValidConfirmation(received) != 0) {
            m_nState = kReceive;  // an acknowledgement of something else: the answer may still come
          } else if (!sent.MoreFollow()) {
            // Acknowledged although the answer is due: the next fragment would lie beyond the message.
            m_byFragErrCode = ext::kErrCommand;
            next(ext::kWrongCommand, kError);
          } else {
            m_nState = kBuild;
          }
          break;
        }
        case kStore:
          if (const std::uint32_t failed = ExtractAndReassembleData(received, answer)) {
            next(failed, kError);
          } else if (!received.MoreFollow()) {
            return 0;
          } else {
            retries = 0;
            m_nState = kConfirm;
          }
          break;
        case kConfirm:
          CreateConfirmation(sent);
          confirmationSent = true;
          m_nState = kSend;
          break;
        case kError:
          if (failedState == kBuild || retries >= MAX_RETRIES) return result;
          ++retries;
          m_nState = confirmationSent ? kConfirm : kMarkRetry;
          break;
        case kMarkRetry:
          sent.err = m_byFragErrCode;
          confirmationSent = false;
          m_nState = kSend;
          break;
        default:
          throw COrlaException("Default-Status der State-Machine darf nicht erreicht werden", ext::kInvalidState);
      }
    }
  } catch (const std::bad_alloc&) {
    return ext::kNoMemory;
  }
}

std::uint32_t CExtFragmentation::SendDataMissingErrCode(const T_FragInfo* pInfo) {
  if (!FENNEC_ASSERT(pInfo != nullptr)) return ext::kNoMemory;
  const ExtFrame notice{ext::kProtId, pInfo->byCmd, NextFragmentCounter(), m_bySeqNr, pInfo->byErrCode, {}};
  if (const std::uint32_t failed = WriteRS232(notice)) return failed;
  ExtFrame reply;
  return ReadRS232(reply);
}

std::uint32_t CExtFragmentation::CreateFragment(std::span<const std::uint8_t> message, const T_FragInfo& info,
                                                ExtFrame& fragment) {
  const std::uint16_t counter = NextFragmentCounter();
  auto built = ext::BuildFragment(message, counter, FragmentSize(), info);
  if (!built) return ext::kWrongCommand;
  fragment = std::move(*built);
  m_bySentCmd = fragment.cmd;
  m_bySentSeqNr = fragment.seqNr;
  m_bySentProtId = fragment.protId;
  return 0;
}

std::uint16_t CExtFragmentation::NextFragmentCounter() {
  if (m_usFragCounter >= kMaxFragments) {
    char text[64];
    std::snprintf(text, sizeof text, "Zu viele Fragmente!(%d)", m_usFragCounter);
    throw COrlaException(text, ext::kTooManyFragments);
  }
  return ++m_usFragCounter;
}

std::uint32_t CExtFragmentation::IsValidConfirmation(const ExtFrame& received) {
  const ext::FrameVerdict verdict = ext::CheckConfirmation(received, {m_bySentCmd, m_bySentSeqNr, m_bySentProtId});
  m_byFragErrCode = verdict.errCode;
  return verdict.result;
}

std::uint32_t CExtFragmentation::IsValidResponse(const ExtFrame& received) {
  const ext::FrameVerdict verdict = ext::CheckResponse(received, {m_bySentCmd, m_bySentSeqNr, m_bySentProtId});
  m_byFragErrCode = verdict.errCode;
  return verdict.result;
}

std::uint32_t CExtFragmentation::IsExtProtAnswer(const ExtFrame& received) const {
  return received.protId == m_bySentProtId ? 0 : ext::kWrongProtId;
}

std::uint32_t CExtFragmentation::ExtractAndReassembleData(const ExtFrame& received, std::span<std::uint8_t> answer) {
  ext::Reassembly reassembly{m_usReceived, m_usLastRecvCounter};
  const ext::FrameVerdict verdict = ext::StoreFragment(reassembly, received, answer, FragmentSize());
  m_usReceived = reassembly.received;
  m_usLastRecvCounter = reassembly.lastCounter;
  if (verdict.result != 0) m_byFragErrCode = verdict.errCode;
  return verdict.result;
}

// Acknowledges the fragment stored last: after a failed read the receive buffer no longer says
// which one that was.
void CExtFragmentation::CreateConfirmation(ExtFrame& confirmation) const {
  confirmation = ext::Confirmation(m_usLastRecvCounter, {m_bySentCmd, m_bySentSeqNr, m_bySentProtId}, m_byFragErrCode);
}

std::uint32_t CExtFragmentation::StdProtExamination(ExtFrame& received, std::span<const std::uint8_t> message,
                                                    const ExtFrame& sent) const {
  ext::OldProtocolVerdict verdict = ext::ExamineOldProtocolAnswer(received, message, sent);
  if (verdict.answer) received = std::move(*verdict.answer);
  return verdict.result;
}

std::uint32_t CExtFragmentation::WriteRS232(const ExtFrame& frame) {
  std::vector<std::uint8_t> bytes = ext::EncodeRequest(frame);
  try {
    m_pComm->Write(bytes.data(), static_cast<unsigned>(bytes.size()), nullptr);
  } catch (...) {
    // The transport stored its code before throwing; a transport that did not must not pass
    // for a success.
    const std::uint32_t code = fennec::platform::GetThreadLastError();
    return code != 0 ? code : fennec::kUnknownFailure;
  }
  if (m_pLogFile != nullptr) m_pLogFile->Write(bytes.data(), static_cast<unsigned short>(bytes.size()));
  return 0;
}

// The start bytes and Len are judged before the rest is read: a Len that the fragment size
// does not allow is never read into the buffer. Whatever a failed read leaves on the line
// (the rest of a foreign or damaged frame, an answer that came too late) is drained, so that
// the repetition does not take it for its answer.
std::uint32_t CExtFragmentation::ReadRS232(ExtFrame& frame) {
  std::vector<std::uint8_t> bytes(ext::kLeadLength);
  try {
    m_pComm->Read(bytes.data(), ext::kLeadLength, nullptr);
    const ext::LeadCheck lead = ext::CheckLead(std::span(bytes).first<ext::kLeadLength>(), FragmentSize());
    if (lead.verdict == ext::LeadVerdict::WrongHeader) return DrainAndFail(ext::kWrongHeader);
    if (lead.verdict == ext::LeadVerdict::BadLength) return DrainAndFail(ext::kWrongChecksum);
    bytes.resize(ext::kLeadLength + lead.remaining);
    m_pComm->Read(bytes.data() + ext::kLeadLength, static_cast<unsigned>(lead.remaining), nullptr);
  } catch (const std::bad_alloc&) {
    throw;
  } catch (...) {
    return DrainAndFail(ext::kNoFrame);
  }
  if (m_pLogFile != nullptr) m_pLogFile->Write(bytes.data(), static_cast<unsigned short>(bytes.size()));
  std::optional<ExtFrame> decoded = ext::DecodeFrame(bytes);
  if (!decoded) return DrainAndFail(ext::kWrongChecksum);
  frame = std::move(*decoded);
  return 0;
}

std::uint32_t CExtFragmentation::DrainAndFail(std::uint32_t code) {
  try {
    m_pComm->ClearBuffer();
  } catch (...) {
    // The frame has failed already; its code is the one to report.
  }
  return code;
}
