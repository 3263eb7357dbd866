#pragma once

#include <cstddef>
#include <string>

namespace lanterna {

// The IPv4 addresses of the Ethernet parameter table: each takes the register pair first,
// first + 1.
inline constexpr unsigned kEthernetTable = 100;

struct AddressRegisters {
  std::size_t first;
  // "100:9-10", as the parameter list names the pair.
  std::string Label() const {
    return std::to_string(kEthernetTable) + ":" + std::to_string(first) + "-" + std::to_string(first + 1);
  }
};

inline constexpr AddressRegisters kIpAddressRegisters{9};
inline constexpr AddressRegisters kSubnetMaskRegisters{11};
inline constexpr AddressRegisters kGatewayRegisters{13};
inline constexpr AddressRegisters kPreferredDnsRegisters{15};
inline constexpr AddressRegisters kAlternativeDnsRegisters{17};

}  // namespace lanterna
