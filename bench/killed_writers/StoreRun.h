#pragma once

#include <chrono>
#include <filesystem>
#include <random>

#include "Figures.h"

namespace killed_writers {

struct StoreRunOptions {
  std::filesystem::path store;         // the settings store file the writers share
  std::filesystem::path writerProgram;  // settings_writer
  unsigned writers = 100;
  unsigned atOnce = 2;
  std::chrono::milliseconds shortestLife{5};
  std::chrono::milliseconds longestLife{300};
};

// Starts the writers in rounds of atOnce, kills each with SIGKILL at a random moment of its
// life, and after every round loads the store and judges every value in it. At the end one
// more write, not killed, must succeed and leave no temporary file behind.
// The store is the one FENNEC_REGISTRY names; the caller points it at options.store.
Figures RunStoreWriters(const StoreRunOptions& options, std::mt19937_64& random);

}  // namespace killed_writers
