#include "ErrorLanguage.h"

#include <atomic>
#include <cstdlib>
#include <string_view>

namespace fennec {

namespace {

constexpr std::uint16_t kFromEnvironment = 0;
std::atomic<std::uint16_t> g_chosenLanguage{kFromEnvironment};

bool IsSet(const char* value) { return value != nullptr && *value != '\0'; }

}  // namespace

std::uint16_t LanguageFromLocale(const char* lcAll, const char* lcMessages, const char* lang) {
  const char* deciding = IsSet(lcAll) ? lcAll : IsSet(lcMessages) ? lcMessages : lang;
  const std::string_view locale = IsSet(deciding) ? deciding : "";
  if (locale.starts_with("de")) return kLanguageGerman;
  if (locale.starts_with("fr")) return kLanguageFrench;
  return kLanguageEnglish;
}

bool SetErrorLanguage(std::uint16_t languageId) {
  switch (languageId) {
    case kFromEnvironment:
    case kLanguageGerman:
    case kLanguageEnglish:
    case kLanguageFrench:
      g_chosenLanguage = languageId;
      return true;
    default:
      return false;
  }
}

std::uint16_t GetErrorLanguage() {
  const std::uint16_t chosen = g_chosenLanguage;
  if (chosen != kFromEnvironment) return chosen;
  return LanguageFromLocale(std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"), std::getenv("LANG"));
}

}  // namespace fennec
