#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace fennec {

// A value of the per-user settings store, typed as the registry types it.
struct RegistryValue {
  enum class Type : std::uint32_t { String = 1, DWord = 4 };  // REG_SZ, REG_DWORD

  Type type = Type::String;
  std::string text;
  std::uint32_t number = 0;

  static RegistryValue FromString(std::string value) { return {Type::String, std::move(value), 0}; }
  static RegistryValue FromDWord(std::uint32_t value) { return {Type::DWord, {}, value}; }
};

// The persistent store that stands in for the registry: one XML file per user
// (platform::SettingsStorePath), keys and value names matched without regard to case as the
// registry does. Every write is a locked read-modify-write with an atomic replacement, so
// concurrent writers from several processes lose nothing. A store file that cannot be parsed
// is reported, moved aside and treated as empty; TakeDamagedStore tells the program.
std::optional<RegistryValue> ReadRegistryValue(std::string_view hive, std::string_view key,
                                               std::string_view name);
bool WriteRegistryValue(std::string_view hive, std::string_view key, std::string_view name,
                        const RegistryValue& value);
// Removes the key with its values; a key that is not there is no failure.
bool DeleteRegistryKey(std::string_view hive, std::string_view key);

}  // namespace fennec
