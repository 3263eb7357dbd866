#pragma once

#include <array>
#include <string_view>

namespace lanterna::cli {

// The values the port dialog's lists offer.
inline constexpr std::array<std::string_view, 7> kBaudRates = {"300", "1200", "2400", "9600", "19200", "38400", "57600"};
inline constexpr std::array<std::string_view, 5> kParities = {"None", "Odd", "Even", "Mark", "Space"};
inline constexpr std::array<std::string_view, 4> kDataBits = {"5", "6", "7", "8"};
inline constexpr std::array<std::string_view, 3> kStopBits = {"1", "1.5", "2"};

}  // namespace lanterna::cli
