#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace lanterna {

// An IPv4 address a.b.c.d as the pages keep it: a*2^24 + b*2^16 + c*2^8 + d.
// In the table it takes two registers n, n+1: register n = a + 256*b, register n+1 = c + 256*d.
std::uint32_t ReadAddressPair(std::span<const std::uint16_t> table, std::size_t first);
void WriteAddressPair(std::span<std::uint16_t> table, std::size_t first, std::uint32_t address);

// The dotted-string conversion of the address texts the identification delivers: fields split
// at '.' and ':', each read as a decimal number whose low 8 bits land in their byte, the last
// field in the lowest byte.
std::uint32_t DottedToAddress(std::string_view text);

// "a.b.c.d".
std::string AddressToDotted(std::uint32_t address);

// What an address field accepts: four decimal numbers from 0 to 255 separated by dots.
std::optional<std::uint32_t> ParseAddress(std::string_view text);

}  // namespace lanterna
