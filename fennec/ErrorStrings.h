#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace fennec {

// One string of the library's string tables, found by its id in every language.
struct ErrorString {
  std::uint32_t id;
  std::string_view text;
};

std::span<const ErrorString> EnglishErrorStrings();
std::span<const ErrorString> GermanErrorStrings();

// The table of a language. The French table holds the English texts word for word; a
// language without a table of its own gets the English one.
std::span<const ErrorString> ErrorStringsOf(std::uint16_t languageId);

// The text with that id; empty when the table has none.
std::string_view ErrorText(std::span<const ErrorString> table, std::uint32_t id);

}  // namespace fennec
