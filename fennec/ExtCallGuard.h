#pragma once

#include <cstdint>
#include <optional>

#include "Common/ErrorCodes.h"
#include "Common/OrlaException.h"

class CExtProtokoll;

namespace fennec::ext {

// Runs one call of the protocol engine for the service and register interfaces. An exception
// from below (a device error, too many fragments, a bad command) becomes a device code as on the
// legacy path (0x2008xxxx); after any other exception there is no code to give.
template <typename Call>
std::optional<std::uint32_t> RunGuarded(Call call) {
  try {
    return call();
  } catch (const COrlaException& failure) {
    return kGroupCoupler + (static_cast<std::uint32_t>(failure.m_nNumber) & 0xFFFF);
  } catch (...) {
    return std::nullopt;
  }
}

// A run of registers as the register interfaces name it.
struct RegisterRun {
  unsigned nDeviceNo;
  unsigned nTableNo;
  unsigned nFirstReg;
  unsigned nCount;
};

// One register message of run.nCount words into or from `words` (not null): 0 or the failure's
// code; nothing after a violated precondition (numbers beyond 16 bits, reported as an assertion)
// or a foreign exception.
std::optional<std::uint32_t> ReadRegisters(CExtProtokoll& protokoll, const RegisterRun& run, std::uint16_t* words);
std::optional<std::uint32_t> WriteRegisters(CExtProtokoll& protokoll, const RegisterRun& run,
                                            const std::uint16_t* words);

}  // namespace fennec::ext
