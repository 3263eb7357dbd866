#include "SIOService.h"

#include <algorithm>
#include <array>
#include <chrono>

#include "Common/ByteOrder.h"
#include "Common/ErrorCodes.h"
#include "Platform/Assert.h"
#include "Platform/LastError.h"
#include "Platform/Time.h"
#include "SIORegComm.h"
#include "SIOServiceAnswer.h"
#include "ServiceDecoders.h"

using fennec::Result;

namespace {

// Request and response blocks are single telegrams of the service table of the coupler itself.
constexpr unsigned kServiceDevice = 0;
constexpr std::size_t kBlockWords = CSIORegComm::MAX_DATA_LEN;
constexpr std::size_t kRequestHeadWords = 2;   // service, argument count
constexpr std::size_t kResponseHeadWords = 3;  // not examined, word count, status
constexpr std::size_t kMaxArgumentWords = kBlockWords - kRequestHeadWords;
constexpr unsigned kMaxPolls = 8;

using Block = std::array<std::uint16_t, kBlockWords>;

std::span<std::uint8_t, 2> WordAt(unsigned char* data, std::size_t index) {
  return std::span<std::uint8_t, 2>(data + 2 * index, 2);
}

// An exported register access leaves its code in the thread's last-error value.
Result RegisterAccess(bool done) {
  return done ? Result::Success() : Result::Failure(fennec::platform::GetThreadLastError());
}

}  // namespace

CSIOService::CSIOService(ORLA::IConnection* pComm) : m_pRegComm(std::make_unique<CSIORegComm>(pComm)) {
  ResetLastErrorCode();
}

CSIOService::~CSIOService() = default;

bool CSIOService::ExecuteService(tServiceInfo& info, unsigned char* pData) { return Report(RunService(info, pData)); }

Result CSIOService::RunService(tServiceInfo& info, unsigned char* pData) {
  if (!FENNEC_ASSERT_TEXT(info.WrArg <= kMaxArgumentWords, "WrArg <= 42")) return Result::Reported();
  Block request{};
  request[0] = static_cast<std::uint16_t>(info.SrvGrp | (info.SrvNr << 8));
  request[1] = info.WrArg;
  if (pData != nullptr)
    for (std::size_t i = 0; i < info.WrArg; ++i) request[kRequestHeadWords + i] = fennec::LoadU16LE(WordAt(pData, i));
  const unsigned requestWords = info.WrArg + kRequestHeadWords;
  const Result written = RegisterAccess(WriteRegister(kServiceDevice, SERVICE_TABLE, 0, requestWords, request.data()));
  if (!written.Succeeded()) return written;

  // A busy device refuses the read of the response; with a poll delay it gets a few more chances.
  Block response{};
  const auto readWords = static_cast<unsigned>(std::min<std::size_t>(info.RdArg + kResponseHeadWords, kBlockWords));
  for (unsigned reads = 1;; ++reads) {
    if (info.nPollDelay != 0) fennec::platform::Sleep(std::chrono::milliseconds(info.nPollDelay));
    const Result read = RegisterAccess(ReadRegister(kServiceDevice, SERVICE_TABLE, 0, readWords, response.data()));
    if (read.Succeeded()) break;
    if (info.nPollDelay == 0 || reads == kMaxPolls) return read;
  }

  const std::uint16_t following = response[1];
  if (following > kBlockWords) return Result::Failure(fennec::kCouplerInvalidArgumentCount);
  if (pData != nullptr && info.RdArg > 0) {
    const std::size_t copied = std::min<std::size_t>(info.RdArg, tAnswer::kMaxResultWords);
    for (std::size_t i = 0; i < copied; ++i) fennec::StoreU16LE(WordAt(pData, i), response[kResponseHeadWords + i]);
    // The count the device gives is never taken beyond what is actually in the caller's buffer.
    const std::size_t delivered = following == 0 ? 0 : following - 1u;
    info.RdArg = static_cast<std::uint16_t>(std::min(delivered, copied));
  }
  return ValidateResponse(response[2]);
}

Result CSIOService::ValidateResponse(std::uint16_t status) {
  if (status == 0) return Result::Success();
  return Result::Failure(fennec::ServiceStatusCode(status));
}

Result CSIOService::CallService(std::uint8_t group, std::uint8_t number, std::initializer_list<std::uint16_t> arguments,
                                std::uint16_t resultWords, tAnswer* answer, std::uint32_t pollDelay) {
  tAnswer scratch;
  tAnswer& target = answer != nullptr ? *answer : scratch;
  std::size_t index = 0;
  for (std::uint16_t argument : arguments) fennec::StoreU16LE(WordAt(target.bytes.data(), index++), argument);
  tServiceInfo info{group, number, static_cast<std::uint16_t>(arguments.size()), resultWords, pollDelay};
  const Result done = RunService(info, target.bytes.data());
  target.words = done.Succeeded() ? info.RdArg : 0;
  return done;
}

Result CSIOService::CallForWords(std::uint8_t group, std::uint8_t number,
                                 std::initializer_list<std::uint16_t> arguments, std::span<std::uint16_t> results) {
  tAnswer answer;
  const Result done = CallService(group, number, arguments, static_cast<std::uint16_t>(results.size()), &answer);
  if (!done.Succeeded()) return done;
  if (!fennec::service::DecodeWords(answer.Delivered(), results))
    return Result::Failure(fennec::kCouplerInvalidArgumentCount);
  return done;
}

Result CSIOService::CallForStrings(std::uint8_t number, std::initializer_list<std::uint16_t> arguments,
                                   std::initializer_list<std::string*> results) {
  tAnswer answer;
  const Result done = CallService(SERVICE_GRP_FBC, number, arguments, tAnswer::kWholeBlock, &answer);
  if (!done.Succeeded()) return done;
  auto strings = fennec::service::DecodeStrings(answer.Delivered(), results.size());
  if (!strings) return Result::Failure(fennec::kCouplerInvalidArgumentCount);
  auto text = strings->begin();
  for (std::string* result : results) *result = std::move(*text++);
  return done;
}

bool CSIOService::WriteRegister(unsigned nDeviceNo, unsigned nTableNo, unsigned nFirstReg, unsigned nCount,
                                const std::uint16_t* pwRegData) {
  return Report(RegisterAccess(m_pRegComm->WriteRegister(nDeviceNo, nTableNo, nFirstReg, nCount, pwRegData)));
}

bool CSIOService::ReadRegister(unsigned nDeviceNo, unsigned nTableNo, unsigned nFirstReg, unsigned nCount,
                               std::uint16_t* pwRegData) {
  return Report(RegisterAccess(m_pRegComm->ReadRegister(nDeviceNo, nTableNo, nFirstReg, nCount, pwRegData)));
}
