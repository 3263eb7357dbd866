#include "ExtService.h"

#include <algorithm>
#include <array>

#include "Common/ByteOrder.h"
#include "Common/ErrorCodes.h"
#include "ExtCallGuard.h"
#include "ExtProtokoll.h"
#include "ExtResultCodes.h"
#include "Platform/Assert.h"
#include "ServiceDecoders.h"

namespace {

// String results are asked for with the size of the legacy result area.
constexpr std::size_t kStringResultBytes = 82;
constexpr std::size_t kStateWords = 9;

}  // namespace

CExtService::CExtService(CExtProtokoll* pProtokoll) : m_pProtokoll(pProtokoll) {}

bool CExtService::Report(const std::optional<std::uint32_t>& code, ShortAnswer shortAnswer) {
  if (!code) return false;
  if (*code == 0 || (shortAnswer == ShortAnswer::Accepted && *code == fennec::ext::kLengthNotExpected)) return true;
  return Fail(*code);
}

bool CExtService::CallService(std::uint8_t group, std::uint8_t number, std::initializer_list<std::uint16_t> arguments,
                              std::span<std::uint8_t> result, ShortAnswer shortAnswer) {
  std::vector<std::uint8_t> data(std::max(2 * arguments.size(), result.size()), 0);
  std::size_t offset = 0;
  for (const std::uint16_t argument : arguments) {
    fennec::StoreU16LE(std::span(data).subspan(offset).first<2>(), argument);
    offset += 2;
  }
  const T_SrvComInfo info{group, number, static_cast<std::uint16_t>(2 * arguments.size()),
                          static_cast<std::uint16_t>(result.size())};
  const bool done =
      Report(fennec::ext::RunGuarded([&] { return m_pProtokoll->ExecuteService(data.data(), info); }), shortAnswer);
  std::copy_n(data.begin(), result.size(), result.begin());
  return done;
}

bool CExtService::CallForWords(std::uint8_t group, std::uint8_t number, std::initializer_list<std::uint16_t> arguments,
                               std::span<std::uint16_t> results) {
  std::vector<std::uint8_t> bytes(2 * results.size(), 0);
  if (!CallService(group, number, arguments, bytes)) return false;
  fennec::service::DecodeWords(bytes, results);
  return true;
}

bool CExtService::CallForStrings(std::uint8_t number, std::initializer_list<std::uint16_t> arguments,
                                 ShortAnswer shortAnswer, std::initializer_list<std::string*> results) {
  std::array<std::uint8_t, kStringResultBytes> bytes{};
  if (!CallService(SERVICE_GRP_FBC, number, arguments, bytes, shortAnswer)) return false;
  auto strings = fennec::service::DecodeStrings(bytes, results.size());
  if (!strings) return Fail(fennec::kCouplerInvalidArgumentCount);
  auto text = strings->begin();
  for (std::string* result : results) *result = std::move(*text++);
  return true;
}

bool CExtService::CallForStates(std::uint8_t number, std::vector<std::uint16_t>& states) {
  std::array<std::uint8_t, 2 * kStateWords> bytes{};
  if (!CallService(SERVICE_GRP_FBC, number, {}, bytes, ShortAnswer::Accepted)) return false;
  fennec::service::AppendWords(bytes, states);
  return true;
}

bool CExtService::WriteRegister(unsigned nDeviceNo, unsigned nTableNo, unsigned nFirstReg, unsigned nCount,
                                const std::uint16_t* pwRegData) {
  if (!FENNEC_ASSERT_TEXT(pwRegData != nullptr, "false")) return false;
  return Report(fennec::ext::WriteRegisters(*m_pProtokoll, {nDeviceNo, nTableNo, nFirstReg, nCount}, pwRegData));
}

bool CExtService::ReadRegister(unsigned nDeviceNo, unsigned nTableNo, unsigned nFirstReg, unsigned nCount,
                               std::uint16_t* pwRegData) {
  if (!FENNEC_ASSERT_TEXT(pwRegData != nullptr, "false")) return false;
  return Report(fennec::ext::ReadRegisters(*m_pProtokoll, {nDeviceNo, nTableNo, nFirstReg, nCount}, pwRegData));
}
