#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace fennec::sim {

// "8202": four upper-case hexadecimal digits.
std::string Hex4(std::uint16_t word);

// "FD 02 0C": bytes as the exchange log shows them.
std::string HexBytes(std::span<const std::uint8_t> bytes);

}  // namespace fennec::sim
