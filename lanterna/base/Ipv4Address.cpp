#include "base/Ipv4Address.h"

#include <charconv>
#include <cstdlib>

namespace lanterna {

namespace {

std::uint16_t Swapped(std::uint16_t half) { return static_cast<std::uint16_t>((half << 8) | (half >> 8)); }

}  // namespace

std::uint32_t ReadAddressPair(std::span<const std::uint16_t> table, std::size_t first) {
  return (std::uint32_t{Swapped(table[first])} << 16) | Swapped(table[first + 1]);
}

void WriteAddressPair(std::span<std::uint16_t> table, std::size_t first, std::uint32_t address) {
  table[first] = Swapped(static_cast<std::uint16_t>(address >> 16));
  table[first + 1] = Swapped(static_cast<std::uint16_t>(address));
}

std::uint32_t DottedToAddress(std::string_view text) {
  std::uint32_t address = 0;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = std::min(text.find_first_of(".:", start), text.size());
    // The last field lands in the lowest byte: shifting the earlier ones up by 8 each time
    // places field i at 8*(N-1-i); fields beyond the fourth push the first ones out.
    const std::string field(text.substr(start, end - start));
    address = (address << 8) | (static_cast<std::uint32_t>(std::atoi(field.c_str())) & 0xFF);
    if (end == text.size()) break;
    start = end + 1;
  }
  return address;
}

std::string AddressToDotted(std::uint32_t address) {
  return std::to_string(address >> 24) + "." + std::to_string((address >> 16) & 0xFF) + "." +
         std::to_string((address >> 8) & 0xFF) + "." + std::to_string(address & 0xFF);
}

std::optional<std::uint32_t> ParseAddress(std::string_view text) {
  std::uint32_t address = 0;
  const char* at = text.data();
  const char* const end = text.data() + text.size();
  for (int field = 0; field < 4; ++field) {
    if (field > 0) {
      if (at == end || *at != '.') return std::nullopt;
      ++at;
    }
    unsigned value = 0;
    const auto [next, error] = std::from_chars(at, end, value);
    if (error != std::errc() || next - at > 3 || value > 255) return std::nullopt;
    address = (address << 8) | value;
    at = next;
  }
  if (at != end) return std::nullopt;
  return address;
}

}  // namespace lanterna
