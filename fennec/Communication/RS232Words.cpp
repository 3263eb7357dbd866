#include "Communication/RS232Words.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "Platform/DebugOutput.h"
#include "Platform/TextCase.h"

namespace fennec::rs232 {

namespace {

struct WordRow {
  std::string_view word;
  std::uint8_t value;
};

constexpr std::array<WordRow, 10> kParityWords = {{
    {"None", 0}, {"Odd", 1}, {"Even", 2}, {"Mark", 3}, {"Space", 4},
    {"N", 0}, {"O", 1}, {"E", 2}, {"M", 3}, {"S", 4},
}};
constexpr std::array<WordRow, 3> kStopBitWords = {{{"1", 0}, {"1.5", 1}, {"2", 2}}};
constexpr std::array<WordRow, 3> kDtrControlWords = {{{"Disable", 0}, {"Enable", 1}, {"Handshake", 2}}};
constexpr std::array<WordRow, 4> kRtsControlWords = {{{"Disable", 0}, {"Enable", 1}, {"Handshake", 2}, {"Toggle", 3}}};

std::optional<std::uint8_t> LookUp(std::span<const WordRow> table, std::string_view word) {
  const auto row = std::find_if(table.begin(), table.end(), [&](const WordRow& r) { return EqualNoCase(r.word, word); });
  if (row == table.end()) return std::nullopt;
  return row->value;
}

std::uint8_t ValueOrReported(std::span<const WordRow> table, const std::string& word, std::string_view functionLine,
                             std::string_view errorLine) {
  if (const std::optional<std::uint8_t> value = LookUp(table, word)) return *value;
  platform::DebugOutput({"\n*************************** ERROR ***************************\n",
                         "  Class:\t\tCRS232Connection\n", functionLine, errorLine, word, "'\n",
                         "*************************************************************\n\n"});
  return 0;
}

}  // namespace

platform::Parity ParityToDCBValue(const std::string& word) {
  return static_cast<platform::Parity>(ValueOrReported(kParityWords, word, "  Function:\tParityToDCBValue( )\n",
                                                       "  Error:\t\tInvalid parity value '"));
}

platform::StopBits StopBitsToDCBValue(const std::string& word) {
  if (word.empty()) return platform::StopBits::One;
  std::string dotted = word;
  std::replace(dotted.begin(), dotted.end(), ',', '.');
  return static_cast<platform::StopBits>(ValueOrReported(kStopBitWords, dotted, "  Function:\tStopBitsToDCBValue( )\n",
                                                         "  Error:\t\tInvalid stop bit value '"));
}

platform::DtrControl DTRControlToDCBValue(const std::string& word) {
  return static_cast<platform::DtrControl>(ValueOrReported(kDtrControlWords, word,
                                                           "  Function:\tDTRControlToDCBValue( )\n",
                                                           "  Error:\t\tInvalid DTRControl value '"));
}

platform::RtsControl RTSControlToDCBValue(const std::string& word) {
  return static_cast<platform::RtsControl>(ValueOrReported(kRtsControlWords, word,
                                                           "  Function:\tRTSControlToDCBValue( )\n",
                                                           "  Error:\t\tInvalid RTSControl value '"));
}

}  // namespace fennec::rs232
