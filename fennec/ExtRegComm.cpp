#include "ExtRegComm.h"

#include "ExtCallGuard.h"
#include "Platform/Assert.h"
#include "Platform/LastError.h"

CExtRegComm::CExtRegComm(CExtProtokoll* pProtokoll) : m_pProtokoll(pProtokoll) {}

bool CExtRegComm::WriteRegister(unsigned nDeviceNo, unsigned nTableNo, unsigned nFirstReg, unsigned nCount,
                                const std::uint16_t* pwRegData) {
  if (!FENNEC_ASSERT_TEXT(pwRegData != nullptr, "false")) return false;
  return Report(fennec::ext::WriteRegisters(*m_pProtokoll, {nDeviceNo, nTableNo, nFirstReg, nCount}, pwRegData));
}

bool CExtRegComm::ReadRegister(unsigned nDeviceNo, unsigned nTableNo, unsigned nFirstReg, unsigned nCount,
                               std::uint16_t* pwRegData) {
  if (!FENNEC_ASSERT_TEXT(pwRegData != nullptr, "false")) return false;
  return Report(fennec::ext::ReadRegisters(*m_pProtokoll, {nDeviceNo, nTableNo, nFirstReg, nCount}, pwRegData));
}

// Nothing to report after an assertion or a foreign exception: the codes stay as they were.
bool CExtRegComm::Report(const std::optional<std::uint32_t>& code) {
  if (code && *code != 0) fennec::platform::SetThreadLastError(*code);
  return code == 0u;
}
