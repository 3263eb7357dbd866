#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace fennec {

// Little-endian fields, low byte first, as every legacy telegram and service block carries them.
// The span form checks its size at compile time; call sites give the offset with subspan.

constexpr std::uint16_t LoadU16LE(std::span<const std::uint8_t, 2> in) {
  return static_cast<std::uint16_t>(in[0] | (in[1] << 8));
}

constexpr std::uint32_t LoadU32LE(std::span<const std::uint8_t, 4> in) {
  return std::uint32_t{LoadU16LE(in.first<2>())} | (std::uint32_t{LoadU16LE(in.last<2>())} << 16);
}

constexpr void StoreU16LE(std::span<std::uint8_t, 2> out, std::uint16_t value) {
  out[0] = static_cast<std::uint8_t>(value & 0xFF);
  out[1] = static_cast<std::uint8_t>(value >> 8);
}

inline void AppendU16LE(std::vector<std::uint8_t>& out, std::uint16_t value) {
  out.push_back(static_cast<std::uint8_t>(value & 0xFF));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

}  // namespace fennec
