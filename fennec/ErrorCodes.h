#pragma once

#include <cstdint>

// The library's error codes: bit 29 marks an application-defined code, bits 16-23 name the
// group, the low 16 bits the code within the group.
namespace fennec {

constexpr std::uint32_t kErrorGroupSerial = 0x20010000;       // line errors, no answer, bad telegram
constexpr std::uint32_t kErrorGroupPort = 0x20020000;         // opening and configuring the port
constexpr std::uint32_t kErrorGroupTerminalBus = 0x20040000;  // terminal-bus status of the device
constexpr std::uint32_t kErrorGroupCoupler = 0x20080000;      // device error codes

// Coupler codes 0x83xx: register communication with a module; 0x84xx: reading module tables.
constexpr std::uint32_t kErrorCouplerModuleRegisters = 0x20088300;
constexpr std::uint32_t kErrorCouplerModuleTables = 0x20088400;

}  // namespace fennec
