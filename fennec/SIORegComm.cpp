#include "SIORegComm.h"

#include <algorithm>

#include "Common/ErrorCodes.h"
#include "Platform/Assert.h"
#include "Platform/LastError.h"
#include "RegTelegram.h"

using fennec::platform::GetThreadLastError;
using fennec::platform::SetThreadLastError;
namespace telegram = fennec::telegram;

namespace {

bool Fail(std::uint32_t code) {
  SetThreadLastError(code);
  return false;
}

bool ArgumentsValid(const void* pwRegData, unsigned nDeviceNo, unsigned nTableNo, unsigned nFirstReg,
                    unsigned nCount) {
  return FENNEC_ASSERT_TEXT(pwRegData != nullptr, "pwRegData != NULL") &&
         FENNEC_ASSERT_TEXT(nDeviceNo < CSIORegComm::MAXCOUNT_DEVICES, "nDeviceNo < MAXCOUNT_DEVICES") &&
         FENNEC_ASSERT_TEXT(nTableNo < CSIORegComm::MAXCOUNT_TABLES, "nTableNo < MAXCOUNT_TABLES") &&
         FENNEC_ASSERT_TEXT(nFirstReg < CSIORegComm::MAXCOUNT_REGISTER, "nFirstReg < MAXCOUNT_REGISTER") &&
         // The start register is an 8-bit field: a longer run would wrap round to register 0 and
         // overwrite (or return) registers the caller never asked for.
         FENNEC_ASSERT_TEXT(nCount <= CSIORegComm::MAXCOUNT_REGISTER - nFirstReg,
                            "nFirstReg + nCount <= MAXCOUNT_REGISTER");
}

// After a failed exchange the input may still hold the rest of a damaged telegram, an echo or an
// answer that came too late. It is drained at once, so that neither the repetition nor the next
// request reads an answer that belongs to an earlier request; doing it here keeps the object free
// of state between calls. Waiting for the line to fall quiet is the transport's part of ClearBuffer.
bool DrainAndFail(ORLA::IConnection& connection, std::uint32_t code) {
  try {
    connection.ClearBuffer();
  } catch (...) {
    // The exchange has failed already; its code is the one to report.
  }
  return Fail(code);
}

}  // namespace

CSIORegComm::CSIORegComm(ORLA::IConnection* pComm) : m_nFragmentSize(MAX_DATA_LEN), m_pComm(pComm) {}

void CSIORegComm::SetFragmentSize(int nFragmentSize) {
  m_nFragmentSize = nFragmentSize >= 1 && nFragmentSize <= MAX_DATA_LEN ? nFragmentSize : MAX_DATA_LEN;
}

bool CSIORegComm::ReadRegister(unsigned nDeviceNo, unsigned nTableNo, unsigned nFirstReg, unsigned nCount,
                               std::uint16_t* pwRegData) {
  if (!ArgumentsValid(pwRegData, nDeviceNo, nTableNo, nFirstReg, nCount)) return false;
  tRegCommInfo info{static_cast<std::uint8_t>(nDeviceNo), static_cast<std::uint8_t>(nTableNo),
                    static_cast<std::uint8_t>(nFirstReg), nCount, 0};
  return ExecuteFragmentation(info, std::span(pwRegData, nCount), {});
}

bool CSIORegComm::WriteRegister(unsigned nDeviceNo, unsigned nTableNo, unsigned nFirstReg, unsigned nCount,
                                const std::uint16_t* pwRegData) {
  if (!ArgumentsValid(pwRegData, nDeviceNo, nTableNo, nFirstReg, nCount)) return false;
  tRegCommInfo info{static_cast<std::uint8_t>(nDeviceNo), static_cast<std::uint8_t>(nTableNo),
                    static_cast<std::uint8_t>(nFirstReg), 0, nCount};
  return ExecuteFragmentation(info, {}, std::span(pwRegData, nCount));
}

// Fragments go out strictly one after another: after a failed one the rest is not sent, and
// whatever earlier fragments wrote or read stays so.
bool CSIORegComm::ExecuteFragmentation(tRegCommInfo& info, std::span<std::uint16_t> readInto,
                                       std::span<const std::uint16_t> writeFrom) {
  tTelegram request{};
  tTelegram response{};
  const bool isRead = info.nReadCount != 0;
  std::size_t remaining = isRead ? info.nReadCount : info.nWriteCount;
  std::size_t done = 0;
  while (remaining > 0) {
    const std::size_t count = std::min<std::size_t>(remaining, static_cast<std::size_t>(m_nFragmentSize));
    const std::size_t length = isRead ? telegram::PrepareReadRequest(info, count, request)
                                      : telegram::PrepareWriteRequest(info, writeFrom.subspan(done, count), request);
    if (!FENNEC_ASSERT_TEXT(length != 0, "byWordCount <= MAX_DATA_LEN")) return false;
    if (!ExecuteEx(request, response)) return false;
    // A device that answers with fewer words than were asked for must not leave the caller
    // with words nobody delivered.
    if (isRead && !telegram::CopyReadData(std::span(response).first(response[2]), readInto.subspan(done, count)))
      return Fail(fennec::kInvalidChecksum);
    remaining -= count;
    done += count;
    info.nFirstReg = static_cast<std::uint8_t>(info.nFirstReg + count);
  }
  return true;
}

// Only silence earns a second try: the request or its answer may have been lost on the way.
// A damaged answer, a foreign start or a rejection would most likely come back the same.
bool CSIORegComm::ExecuteEx(tTelegram& request, tTelegram& response) {
  if (Execute(request, response)) return true;
  if (GetThreadLastError() != fennec::kNoAnswer) return false;
  return Execute(request, response);
}

bool CSIORegComm::Execute(tTelegram& request, tTelegram& response) {
  if (!FENNEC_ASSERT_TEXT(m_pComm != nullptr, "m_pComm != NULL")) return false;
  if (!m_pComm->IsOpen()) return Fail(fennec::kPortNotOpen);
  response.fill(0);
  try {
    m_pComm->Write(request.data(), request[2], nullptr);
    // The length byte comes from the device: it is judged before the rest is read.
    m_pComm->Read(response.data(), telegram::kLeadLength, nullptr);
    const telegram::LeadCheck lead = telegram::CheckLead(std::span(response).first<telegram::kLeadLength>());
    if (lead.verdict != telegram::Verdict::Good) return DrainAndFail(*m_pComm, telegram::ErrorCode({lead.verdict}));
    m_pComm->Read(response.data() + telegram::kLeadLength, static_cast<unsigned>(lead.remaining), nullptr);
  } catch (...) {
    // The transport stored its code in the thread's last-error value before throwing.
    return DrainAndFail(*m_pComm, GetThreadLastError());
  }
  const telegram::ResponseCheck check = telegram::VerifyResponse(std::span(response).first(response[2]));
  if (check.verdict == telegram::Verdict::Good) return true;
  // A rejection is a whole telegram and leaves nothing behind to drain.
  if (check.verdict == telegram::Verdict::Rejected) return Fail(telegram::ErrorCode(check));
  return DrainAndFail(*m_pComm, telegram::ErrorCode(check));
}
