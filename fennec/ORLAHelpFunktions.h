#pragma once

#include <cstdint>

#include "Platform/Export.h"

// Stateless helpers shared by the register telegrams and the extended protocol.
class FENNEC_API CORLAHelpFunktions {
 public:
  // Sum of the byte values, modulo 65536; 0 for no bytes.
  static std::uint16_t CalculateChecksum(const std::uint8_t* data, unsigned long count);
  // Sum of the 16-bit words, modulo 65536; 0 for no words.
  static std::uint16_t CalculateChecksum(const std::uint16_t* data, unsigned long count);
};
