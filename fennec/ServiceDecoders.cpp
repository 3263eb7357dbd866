#include "ServiceDecoders.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>

#include "Common/ByteOrder.h"

namespace fennec::service {

namespace {

constexpr std::size_t kMonitorEntryBytes = 12;

std::string_view WithoutLeadingBlanks(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  return first == std::string_view::npos ? std::string_view{} : text.substr(first);
}

std::vector<std::string_view> NonEmptyTokens(std::string_view text, char separator) {
  std::vector<std::string_view> tokens;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find(separator), text.size());
    if (end > 0) tokens.push_back(text.substr(0, end));
    text.remove_prefix(std::min(end + 1, text.size()));
  }
  return tokens;
}

// With at least two tokens, the first is the name and the second the value. Otherwise both
// stay empty and the first token (empty if there is none) is returned as a bare value for the
// caller to name.
std::optional<std::string_view> SplitNameAndValue(std::string_view text, std::string& name, std::string& value) {
  name.clear();
  value.clear();
  const std::vector<std::string_view> tokens = NonEmptyTokens(text, ';');
  if (tokens.size() >= 2) {
    name = WithoutLeadingBlanks(tokens[0]);
    value = WithoutLeadingBlanks(tokens[1]);
    return std::nullopt;
  }
  return tokens.empty() ? std::string_view{} : WithoutLeadingBlanks(tokens[0]);
}

}  // namespace

bool DecodeWords(std::span<const std::uint8_t> result, std::span<std::uint16_t> out) {
  if (result.size() < 2 * out.size()) return false;
  for (std::uint16_t& word : out) {
    word = LoadU16LE(result.first<2>());
    result = result.subspan(2);
  }
  return true;
}

void AppendWords(std::span<const std::uint8_t> result, std::vector<std::uint16_t>& out) {
  for (; result.size() >= 2; result = result.subspan(2)) out.push_back(LoadU16LE(result.first<2>()));
}

std::optional<std::vector<std::string>> DecodeStrings(std::span<const std::uint8_t> result, std::size_t count) {
  if (result.size() < count) return std::nullopt;
  const auto lengths = result.first(count);
  auto text = result.subspan(count);
  if (std::accumulate(lengths.begin(), lengths.end(), std::size_t{0}) > text.size()) return std::nullopt;
  std::vector<std::string> strings;
  strings.reserve(count);
  for (std::uint8_t length : lengths) {
    strings.emplace_back(text.begin(), text.begin() + length);
    text = text.subspan(length);
  }
  return strings;
}

bool AppendTableInfo(std::span<const std::uint8_t> result, std::vector<tFBCTable>& out) {
  std::array<std::uint16_t, 1> count{};
  if (!DecodeWords(result, count) || result.size() < 2 * (std::size_t{count[0]} + 1)) return false;
  for (std::size_t word = count[0]; word >= 1; --word)
    out.push_back({LoadU16LE(result.subspan(2 * word).first<2>())});
  return true;
}

bool AppendTableList(std::span<const std::uint8_t> result, std::vector<tFBCTable>& out) {
  if (result.empty() || result.size() < 2 * (std::size_t{result[0]} + 1)) return false;
  for (std::size_t word = 1; word <= result[0]; ++word) out.push_back({LoadU16LE(result.subspan(2 * word).first<2>())});
  return true;
}

double DecodeBaudrate(std::uint16_t mantissa, std::uint16_t exponent) {
  return mantissa * std::pow(10.0, exponent);
}

std::optional<tKBMonEntry> DecodeMonitorEntry(std::span<const std::uint8_t> result) {
  if (result.size() < kMonitorEntryBytes) return std::nullopt;
  return tKBMonEntry{LoadU32LE(result.first<4>()), LoadU16LE(result.subspan<4, 2>()), result[6], result[7],
                     LoadU32LE(result.subspan<8, 4>())};
}

void ParseInternalVariable(std::uint16_t index, std::string_view text, std::string& name, std::string& value) {
  // Older devices deliver only the value of their first variables; the names are known.
  static constexpr std::array<std::string_view, 4> kFixedNames{"", "IP address;", "Subnet mask;",
                                                               "Gateway address;"};
  const auto bare = SplitNameAndValue(text, name, value);
  if (!bare || index >= kFixedNames.size()) return;
  name = kFixedNames[index];
  value = *bare;
}

void ParseInternalVariableOrUnnamed(std::uint16_t index, std::string_view text, std::string& name,
                                    std::string& value) {
  const auto bare = SplitNameAndValue(text, name, value);
  if (!bare) return;
  name = "Variable [" + std::to_string(index) + "] not named";
  value = *bare;
}

}  // namespace fennec::service
