#pragma once

#include <optional>
#include <string>
#include <vector>

#include "Platform/Export.h"

namespace fennec {

// A value that could still be read from a damaged settings store.
struct StoredValue {
  std::string hive;  // "HKEY_CURRENT_USER"
  std::string key;   // "Software\ORLA Software\RS232"
  std::string name;
  std::string data;  // as the store kept it: a text, or a number in decimal
};

// A settings store that could not be parsed. The store then starts empty, so a program tells
// its user what was lost.
struct DamagedStore {
  std::string file;
  std::string movedTo;  // where the damaged file went; empty when it could not be moved aside
  // What the file held before the damage began, as far as it could be read.
  std::vector<StoredValue> readable;
};

// The last store found damaged in this process since the previous call, once.
FENNEC_API std::optional<DamagedStore> TakeDamagedStore();

// For the store itself: keeps the report for TakeDamagedStore.
void NoteDamagedStore(DamagedStore store);

}  // namespace fennec
