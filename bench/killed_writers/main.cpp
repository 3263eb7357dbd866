// Kills writers of the settings store and the simulator while it saves its memory file, and
// counts what the files hold afterwards. Prints the kills, the loads that failed and the values
// lost that had been reported as written; exits with 1 unless every count that must be 0 is 0.
//
//   killed_writers [--writers N] [--at-once N] [--device-kills N] [--seed S] [--keep]
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "DeviceRun.h"
#include "Platform/Terminal.h"
#include "StoreRun.h"

namespace {

using namespace killed_writers;

struct Options {
  unsigned writers = 100;
  unsigned atOnce = 2;
  unsigned deviceKills = 100;
  std::uint64_t seed = std::random_device()();
  bool keep = false;
};

template <typename Number>
bool ParseNumber(std::string_view text, Number& out, Number lowest, Number highest) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), out);
  return error == std::errc() && end == text.data() + text.size() && out >= lowest && out <= highest;
}

std::optional<Options> ParseOptions(const std::vector<std::string_view>& arguments) {
  Options options;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string_view name = arguments[i];
    if (name == "--keep") {
      options.keep = true;
      continue;
    }
    if (i + 1 == arguments.size()) return std::nullopt;
    const std::string_view value = arguments[++i];
    // Writer and round numbers live in one byte of the values.
    const bool parsed = name == "--writers"        ? ParseNumber(value, options.writers, 1u, kMaxWriter)
                        : name == "--at-once"      ? ParseNumber(value, options.atOnce, 1u, 16u)
                        : name == "--device-kills" ? ParseNumber(value, options.deviceKills, 0u, kMaxWriter - 1)
                        : name == "--seed"         ? ParseNumber(value, options.seed, std::uint64_t{0}, UINT64_MAX)
                                                   : false;
    if (!parsed) return std::nullopt;
  }
  return options;
}

}  // namespace

int main(int argc, char** argv) {
  const std::optional<Options> options = ParseOptions(std::vector<std::string_view>(argv + 1, argv + argc));
  if (!options) {
    std::fprintf(stderr,
                 "usage: killed_writers [--writers 1..%u] [--at-once 1..16] [--device-kills 0..%u] [--seed S] [--keep]\n",
                 kMaxWriter, kMaxWriter - 1);
    return 2;
  }
  const std::filesystem::path programs = fennec::platform::ProgramFolder();
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() /
      ("killed_writers-" + std::to_string(options->seed) + "-" + std::to_string(std::random_device()()));
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  std::printf("killed_writers --seed %llu (files in %s)\n", static_cast<unsigned long long>(options->seed),
              folder.c_str());

  std::mt19937_64 random(options->seed);
  StoreRunOptions store;
  store.store = folder / "settings" / "registry.xml";
  store.writerProgram = programs / "settings_writer";
  store.writers = options->writers;
  store.atOnce = options->atOnce;
  // The writers and this program share the store through the environment.
  setenv("FENNEC_REGISTRY", store.store.c_str(), 1);
  const Figures settings = RunStoreWriters(store, random);
  Print("Settings store (cutils::CRegistryEx), " + std::to_string(options->writers) + " writers, " +
            std::to_string(options->atOnce) + " at once:",
        settings);

  DeviceRunOptions device;
  device.folder = folder;
  device.simulator = programs / "fennec-sim";
  device.kills = options->deviceKills;
  const Figures memory = RunDeviceSaves(device, random);
  Print("Simulator memory file (fennec-sim --state), killed while it saves:", memory);

  const bool sound = settings.Sound() && memory.Sound();
  if (sound && !options->keep) std::filesystem::remove_all(folder);
  std::printf("%s\n", sound ? "all counts that must be 0 are 0" : "FAILED: a count that must be 0 is not");
  return sound ? 0 : 1;
}
