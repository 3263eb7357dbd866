#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "Profile.h"

namespace fennec::sim {

// A response block has room for 41 result words behind its count and status words.
inline constexpr std::size_t kMaxResultWords = 41;

// The services that answer with texts, and which identity texts each one carries, in order.
enum class TextGroup { Identification, NetworkId, SerialNumber, FirmwareLoader, CpuInfo, ProductionMarking };

std::vector<std::string_view> TextsOf(const Identity& identity, TextGroup group);

// One length byte per text, then the texts without terminators, two bytes to a word. Nothing
// when they do not fit into the result words.
std::optional<std::vector<std::uint16_t>> PackTexts(std::span<const std::string_view> texts);

}  // namespace fennec::sim
