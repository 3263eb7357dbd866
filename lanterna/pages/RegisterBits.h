#pragma once

#include <cstdint>

namespace lanterna {

// A switch of a register shared by several pages: 1 when the bit is set.
inline std::uint32_t TestBit(std::uint16_t word, int bit) { return (word >> bit) & 1u; }

// The word with only this bit changed.
inline std::uint16_t WithBit(std::uint16_t word, int bit, bool on) {
  const auto mask = static_cast<std::uint16_t>(1u << bit);
  return static_cast<std::uint16_t>(on ? (word | mask) : (word & ~mask));
}

// A member written back into its register keeps its low 16 bits.
inline std::uint16_t LowWord(std::int64_t value) { return static_cast<std::uint16_t>(value & 0xFFFF); }

}  // namespace lanterna
