#pragma once

#include <cstdint>

#include "Platform/Export.h"

// Register access to the numbered tables of a device. The slot order is part of the binary
// interface. Both operations return false with the failure code in the thread's last-error value.
class FENNEC_API CRegCommBase {
 public:
  virtual ~CRegCommBase() = default;
  virtual bool WriteRegister(unsigned nDeviceNo, unsigned nTableNo, unsigned nFirstReg, unsigned nCount,
                             const std::uint16_t* pwRegData) = 0;
  virtual bool ReadRegister(unsigned nDeviceNo, unsigned nTableNo, unsigned nFirstReg, unsigned nCount,
                            std::uint16_t* pwRegData) = 0;
};
