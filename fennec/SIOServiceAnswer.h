#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "SIORegComm.h"
#include "SIOService.h"

// The result words of one service as the device delivered them, little-endian.
struct CSIOService::tAnswer {
  // A response block is one telegram; word 0, the word count and the status come first.
  static constexpr std::size_t kMaxResultWords = CSIORegComm::MAX_DATA_LEN - 3;
  // Result words to ask for when the results vary in length: the largest block there is.
  static constexpr std::uint16_t kWholeBlock = CSIORegComm::MAX_DATA_LEN;

  std::array<std::uint8_t, 2 * kMaxResultWords> bytes{};
  std::uint16_t words = 0;  // delivered

  std::span<const std::uint8_t> Delivered() const { return std::span(bytes).first(2u * words); }
};
