#include "ErrorStrings.h"

#include <algorithm>

#include "ErrorLanguage.h"

namespace fennec {

std::span<const ErrorString> ErrorStringsOf(std::uint16_t languageId) {
  return languageId == kLanguageGerman ? GermanErrorStrings() : EnglishErrorStrings();
}

std::string_view ErrorText(std::span<const ErrorString> table, std::uint32_t id) {
  const auto entry = std::find_if(table.begin(), table.end(), [id](const ErrorString& s) { return s.id == id; });
  return entry == table.end() ? std::string_view{} : entry->text;
}

}  // namespace fennec
