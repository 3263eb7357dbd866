#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>

#include "SimulatedDevice.h"

namespace fennec::sim {

struct ProgramOptions {
  SimulatorOptions simulator;
  std::filesystem::path link;
  std::optional<std::uint16_t> tcpPort;  // also serve the framed protocol there
  bool verbose = false;
  bool help = false;
};

struct ParsedCommandLine {
  std::optional<ProgramOptions> options;
  std::string error;  // why options is empty
};

ParsedCommandLine ParseCommandLine(std::span<const std::string> arguments);

std::string HelpText();

}  // namespace fennec::sim
