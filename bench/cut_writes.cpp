// Write actions of lanterna-cli against fennec-sim, both run as the technician runs them, each
// cut at a random exchange: the line is cut, or the device loses its power and restarts from its
// non-volatile memory. After each, table 100 of the restarted device must be the old or the new
// image, never a mix, and the program must have ended with status 1 and the failed step's text,
// or with 0 for a write it saved and read back. Prints one line per write and the counts; exits
// 1 when there is a mix or a wrong status, 2 on a bad command line.
#include <exception>
#include <filesystem>
#include <iostream>
#include <random>
#include <string>
#include <string_view>

#include "CutWrites.h"
#include "NumberText.h"

namespace {

constexpr const char* kUsage =
    "Usage: cut_writes [--writes N] [--seed S] [--keep]\n"
    "  --writes N  cut writes (default 100)\n"
    "  --seed S    seeds the settings, the cuts and their points (default 1)\n"
    "  --keep      keep the work folder (memory file, logs of the last write) and name it\n";

struct Arguments {
  fennec::cutwrites::CutWriteOptions options;
  bool keep = false;
};

bool Parse(int argc, char** argv, Arguments& arguments) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view name = argv[i];
    if (name == "--keep") {
      arguments.keep = true;
      continue;
    }
    if (i + 1 >= argc) return false;
    const auto number = fennec::sim::ParseNumber(argv[++i], 0xFFFFFFFF);
    if (!number) return false;
    if (name == "--writes" && *number > 0)
      arguments.options.writes = static_cast<unsigned>(*number);
    else if (name == "--seed")
      arguments.options.seed = static_cast<std::uint32_t>(*number);
    else
      return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  Arguments arguments;
  if (!Parse(argc, argv, arguments)) {
    std::cerr << kUsage;
    return 2;
  }
  fennec::cutwrites::CutWriteOptions& options = arguments.options;
  options.lanternaCli = LANTERNA_CLI;
  options.fennecSim = FENNEC_SIM;
  options.folder = std::filesystem::temp_directory_path() / ("cut_writes-" + std::to_string(std::random_device()()));
  std::filesystem::create_directories(options.folder);
  options.progress = [](const fennec::cutwrites::CutWrite& write) {
    std::cout << fennec::cutwrites::FormatWrite(write) << std::endl;
  };

  int status = 1;
  try {
    const fennec::cutwrites::CutWriteReport report = fennec::cutwrites::RunCutWrites(options);
    std::cout << "\n" << fennec::cutwrites::FormatReport(report);
    status = report.Clean() ? 0 : 1;
  } catch (const std::exception& failure) {
    std::cerr << "cut_writes: " << failure.what() << "\n";
    arguments.keep = true;
  }
  if (arguments.keep) {
    std::cerr << "cut_writes: the work folder is " << options.folder << "\n";
  } else {
    std::error_code ignored;
    std::filesystem::remove_all(options.folder, ignored);
  }
  return status;
}
