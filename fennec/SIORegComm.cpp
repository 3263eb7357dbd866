#include "SIORegComm.h"

#include <algorithm>
#include <optional>
#include <span>

#include "Common/ErrorCodes.h"
#include "Platform/Assert.h"
#include "Platform/LastError.h"
#include "RegTelegram.h"

using fennec::Result;
namespace telegram = fennec::telegram;

namespace {

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
Result DrainAndFail(ORLA::IConnection& connection, std::uint32_t code) {
  try {
    connection.ClearBuffer();
  } catch (...) {
    // The exchange has failed already; its code is the one to report.
  }
  return Result::Failure(code);
}

Result Execute(ORLA::IConnection& connection, CSIORegComm::tTelegram& request, CSIORegComm::tTelegram& response) {
  if (!connection.IsOpen()) return Result::Failure(fennec::kPortNotOpen);
  response = {};
  try {
    connection.Write(request.bytes.data(), static_cast<unsigned>(request.length), nullptr);
    // The length byte comes from the device: it is judged before the rest is read.
    const auto lead = std::span(response.bytes).first<telegram::kLeadLength>();
    connection.Read(lead.data(), telegram::kLeadLength, nullptr);
    const telegram::LeadCheck check = telegram::CheckLead(lead);
    if (check.verdict != telegram::Verdict::Good) return DrainAndFail(connection, telegram::ErrorCode({check.verdict}));
    const auto rest = std::span(response.bytes).subspan(telegram::kLeadLength, check.remaining);
    response.length = telegram::kLeadLength + rest.size();
    connection.Read(rest.data(), static_cast<unsigned>(rest.size()), nullptr);
  } catch (...) {
    // The transport stored its code in the thread's last-error value before throwing.
    return DrainAndFail(connection, fennec::platform::GetThreadLastError());
  }
  // An answer that came too late for an earlier request can be the first telegram on the line,
  // with this request's own answer behind it: only an answer to this request is taken.
  const telegram::ResponseCheck check = telegram::VerifyResponseTo(response.Wire(), request.Wire());
  if (check.verdict == telegram::Verdict::Good) return Result::Success();
  // A rejection is a whole telegram and leaves nothing behind to drain.
  if (check.verdict == telegram::Verdict::Rejected) return Result::Failure(telegram::ErrorCode(check));
  return DrainAndFail(connection, telegram::ErrorCode(check));
}

// Only silence earns a second try: the request or its answer may have been lost on the way.
// A damaged answer, a foreign start or a rejection would most likely come back the same.
Result ExecuteEx(ORLA::IConnection& connection, CSIORegComm::tTelegram& request, CSIORegComm::tTelegram& response) {
  const Result first = Execute(connection, request, response);
  if (!first.Is(fennec::kNoAnswer)) return first;
  return Execute(connection, request, response);
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
  return fennec::ReportToThread(ExecuteFragmentation(info, std::span(pwRegData, nCount), {}));
}

bool CSIORegComm::WriteRegister(unsigned nDeviceNo, unsigned nTableNo, unsigned nFirstReg, unsigned nCount,
                                const std::uint16_t* pwRegData) {
  if (!ArgumentsValid(pwRegData, nDeviceNo, nTableNo, nFirstReg, nCount)) return false;
  tRegCommInfo info{static_cast<std::uint8_t>(nDeviceNo), static_cast<std::uint8_t>(nTableNo),
                    static_cast<std::uint8_t>(nFirstReg), 0, nCount};
  return fennec::ReportToThread(ExecuteFragmentation(info, {}, std::span(pwRegData, nCount)));
}

// Fragments go out strictly one after another: after a failed one the rest is not sent, and
// whatever earlier fragments wrote or read stays so.
Result CSIORegComm::ExecuteFragmentation(tRegCommInfo& info, std::span<std::uint16_t> readInto,
                                         std::span<const std::uint16_t> writeFrom) {
  const bool isRead = info.nReadCount != 0;
  std::size_t remaining = isRead ? info.nReadCount : info.nWriteCount;
  std::size_t done = 0;
  while (remaining > 0) {
    const std::size_t count = std::min<std::size_t>(remaining, static_cast<std::size_t>(m_nFragmentSize));
    const telegram::Address address{info.nDeviceNo, info.nTableNo, info.nFirstReg};
    std::optional<tTelegram> request = isRead ? telegram::PrepareReadRequest(address, count)
                                              : telegram::PrepareWriteRequest(address, writeFrom.subspan(done, count));
    if (!FENNEC_ASSERT_TEXT(request.has_value(), "byWordCount <= MAX_DATA_LEN")) return Result::Reported();
    if (!FENNEC_ASSERT_TEXT(m_pComm != nullptr, "m_pComm != NULL")) return Result::Reported();
    tTelegram response;
    if (const Result exchanged = ExecuteEx(*m_pComm, *request, response); !exchanged.Succeeded()) return exchanged;
    // A device that answers with fewer words than were asked for must not leave the caller
    // with words nobody delivered.
    if (isRead && !telegram::CopyReadData(response.Wire(), readInto.subspan(done, count)))
      return Result::Failure(fennec::kInvalidChecksum);
    remaining -= count;
    done += count;
    info.nFirstReg = static_cast<std::uint8_t>(info.nFirstReg + count);
  }
  return Result::Success();
}
