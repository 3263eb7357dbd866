#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace fennec::sim {

// A number given as text: decimal, or hexadecimal after "0x"; the whole text must be the
// number, and no larger than max.
std::optional<std::uint64_t> ParseNumber(std::string_view text, std::uint64_t max);

// A probability given as text: a fraction from 0 to 1 ("0.05") or a percentage ("5%").
std::optional<double> ParseRate(std::string_view text);

}  // namespace fennec::sim
