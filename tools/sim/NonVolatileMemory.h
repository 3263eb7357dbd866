#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "DeviceClock.h"
#include "Profile.h"
#include "RegisterTables.h"

namespace fennec::sim {

// What the device keeps over a restart: the saved parameter tables and the clock.
struct SavedParameters {
  TableSet tables;
  DeviceClock clock;
};

// The file form: a short text that names the profile, so that one profile's memory is never
// loaded into another device.
std::string EncodeSaved(std::string_view profileName, const SavedParameters& saved);

struct DecodedMemory {
  std::optional<SavedParameters> saved;
  std::string profileName;  // as far as it could be read
  std::string problem;      // why saved is empty
};

// Every table of the profile must be there with the profile's size; anything else is damage.
DecodedMemory DecodeSaved(std::string_view text, const Profile& profile);

// The non-volatile memory, in a file when one is given (replaced atomically on every store),
// else in memory only.
class NonVolatileMemory {
 public:
  enum class Origin { Factory, File, FactoryAfterDamage, OtherProfile };

  explicit NonVolatileMemory(const Profile& profile, std::filesystem::path file = {});

  const SavedParameters& Content() const { return m_content; }

  // False when the file could not be written; the memory holds the new content all the same.
  bool Store(SavedParameters content);

  Origin LoadedFrom() const { return m_origin; }
  // A line about the load for the log; empty for a plain factory start.
  const std::string& LoadReport() const { return m_report; }

 private:
  void Load(const Profile& profile);

  std::string m_profileName;
  std::filesystem::path m_file;
  SavedParameters m_content;
  Origin m_origin = Origin::Factory;
  std::string m_report;
};

}  // namespace fennec::sim
