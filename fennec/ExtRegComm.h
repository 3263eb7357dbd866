#pragma once

#include <cstdint>
#include <optional>

#include "Platform/Export.h"
#include "RegCommBase.h"

class CExtProtokoll;

// Register access over the extended protocol: one register message per call, with 16-bit
// module, table and register numbers and as many registers as the device's buffer takes; the
// fragmentation layer splits it. Failures leave their code in the thread's last-error value.
// The protocol engine is not owned.
class FENNEC_API CExtRegComm : public CRegCommBase {
 public:
  explicit CExtRegComm(CExtProtokoll* pProtokoll);

  bool WriteRegister(unsigned nDeviceNo, unsigned nTableNo, unsigned nFirstReg, unsigned nCount,
                     const std::uint16_t* pwRegData) override;
  bool ReadRegister(unsigned nDeviceNo, unsigned nTableNo, unsigned nFirstReg, unsigned nCount,
                    std::uint16_t* pwRegData) override;

 private:
  static bool Report(const std::optional<std::uint32_t>& code);

  CExtProtokoll* m_pProtokoll;
};
