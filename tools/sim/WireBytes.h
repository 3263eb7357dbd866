#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace fennec::sim {

// Everything on the line is little-endian: low byte first.
inline void AppendU16(std::vector<std::uint8_t>& out, std::uint16_t value) {
  out.push_back(static_cast<std::uint8_t>(value & 0xFF));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

inline std::uint16_t U16At(std::span<const std::uint8_t> bytes, std::size_t offset) {
  return static_cast<std::uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

// Bytes to 16-bit words, low byte first; an odd last byte gets a zero high byte.
inline std::vector<std::uint16_t> BytesToWords(std::span<const std::uint8_t> bytes) {
  std::vector<std::uint16_t> words((bytes.size() + 1) / 2, 0);
  for (std::size_t i = 0; i < bytes.size(); ++i)
    words[i / 2] = static_cast<std::uint16_t>(words[i / 2] | (bytes[i] << (8 * (i % 2))));
  return words;
}

}  // namespace fennec::sim
