#pragma once

#include <chrono>
#include <filesystem>
#include <random>

#include "Figures.h"

namespace killed_writers {

struct DeviceRunOptions {
  std::filesystem::path folder;     // the memory file and the simulator's messages go here
  std::filesystem::path simulator;  // fennec-sim
  unsigned kills = 100;
  std::chrono::milliseconds shortestLife{10};
  std::chrono::milliseconds longestLife{400};
};

// Starts fennec-sim on its memory file again and again; through the library it writes table 100
// with an image that says which save it is and saves it, over and over, until the simulator is
// killed with SIGKILL at a random moment. Before each start the file must load and hold the
// last save reported as done (or the one the kill cut off), and the started simulator must
// serve what the file holds. At the end a last save, not killed, must leave no temporary file.
Figures RunDeviceSaves(const DeviceRunOptions& options, std::mt19937_64& random);

}  // namespace killed_writers
