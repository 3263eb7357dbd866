#pragma once

#include <cstdint>

#include "Platform/Export.h"

namespace fennec {

// Language identifiers of the error catalogue's string tables.
constexpr std::uint16_t kLanguageGerman = 1031;
constexpr std::uint16_t kLanguageEnglish = 1033;
constexpr std::uint16_t kLanguageFrench = 1036;

// Chooses the catalogue's language for the whole process; it wins over the environment.
// 0 returns the choice to the environment. False, and nothing changes, for a language
// without a table.
FENNEC_API bool SetErrorLanguage(std::uint16_t languageId);

// The language the catalogue speaks now: the one set by SetErrorLanguage, else the
// environment's choice.
FENNEC_API std::uint16_t GetErrorLanguage();

// The environment's choice: the first of LC_ALL, LC_MESSAGES and LANG that is set and not
// empty decides; "de..." is German, "fr..." French, anything else (or none) English.
std::uint16_t LanguageFromLocale(const char* lcAll, const char* lcMessages, const char* lang);

}  // namespace fennec
