#include <variant>
#include <vector>

#include "ExtCallGuard.h"
#include "ExtMessage.h"
#include "ExtProtokoll.h"
#include "ExtResultCodes.h"
#include "Platform/Assert.h"

namespace fennec::ext {

namespace {

constexpr unsigned kMaxNumber = 0xFFFF;

// The message's description, or why there is none: a code, or nothing after an assertion.
using Described = std::variant<T_RegComInfo, std::optional<std::uint32_t>>;

Described Describe(const RegisterRun& run, std::uint8_t accessType) {
  // Cut to 16 bits, a number would name another module, table or register than the caller's.
  if (!FENNEC_ASSERT_TEXT(run.nDeviceNo <= kMaxNumber, "nDeviceNo <= 0xFFFF") ||
      !FENNEC_ASSERT_TEXT(run.nTableNo <= kMaxNumber, "nTableNo <= 0xFFFF") ||
      !FENNEC_ASSERT_TEXT(run.nFirstReg <= kMaxNumber, "nFirstReg <= 0xFFFF"))
    return std::optional<std::uint32_t>();
  // More registers than usLen can count are refused as a message too large, before any cut.
  if (run.nCount > kMaxRegisterCount) return std::optional<std::uint32_t>(kBeyondTargetBuffer);
  return T_RegComInfo{static_cast<std::uint16_t>(run.nDeviceNo), static_cast<std::uint16_t>(run.nTableNo),
                      static_cast<std::uint16_t>(run.nFirstReg), static_cast<std::uint16_t>(run.nCount), accessType};
}

}  // namespace

std::optional<std::uint32_t> ReadRegisters(CExtProtokoll& protokoll, const RegisterRun& run, std::uint16_t* words) {
  const Described described = Describe(run, EXT_REG_READ);
  if (const auto* refused = std::get_if<std::optional<std::uint32_t>>(&described)) return *refused;
  return RunGuarded([&] { return protokoll.ExecuteRegComm(words, std::get<T_RegComInfo>(described)); });
}

// The engine gets words of its own: the caller's stay untouched.
std::optional<std::uint32_t> WriteRegisters(CExtProtokoll& protokoll, const RegisterRun& run,
                                            const std::uint16_t* words) {
  const Described described = Describe(run, EXT_REG_WRITE);
  if (const auto* refused = std::get_if<std::optional<std::uint32_t>>(&described)) return *refused;
  std::vector<std::uint16_t> own(words, words + run.nCount);
  return RunGuarded([&] { return protokoll.ExecuteRegComm(own.data(), std::get<T_RegComInfo>(described)); });
}

}  // namespace fennec::ext
