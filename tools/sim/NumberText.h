#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace fennec::sim {

// A number given as text: decimal, or hexadecimal after "0x"; the whole text must be the
// number, and no larger than max.
std::optional<std::uint64_t> ParseNumber(std::string_view text, std::uint64_t max);

}  // namespace fennec::sim
