#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Write actions of lanterna-cli against fennec-sim, both as real processes, each cut at a random
// exchange: the line is cut (the simulator ends), or the device loses its power and restarts from
// its non-volatile memory. After each, a new simulator on the same memory file is read.
namespace fennec::cutwrites {

using Words = std::vector<std::uint16_t>;

enum class Cut { Line, Power };
// What table 100 holds after the restart: the image before the write, the one it wrote, or
// neither.
enum class Image { Old, New, Mix };

// What the simulator's exchange log (-v) tells of one run.
struct SimulatorLog {
  unsigned exchanges = 0;
  bool cut = false;                // the line was cut, or the power failed
  std::map<unsigned, std::uint16_t> table100Written;  // register -> word, from the write requests it got
};

SimulatorLog ReadSimulatorLog(std::string_view log);

// The image the write meant to leave: the old one with every word the write requests carried;
// nothing unless they covered the whole table.
std::optional<Words> IntendedImage(const Words& old, const std::map<unsigned, std::uint16_t>& written);

Image Judge(const Words& old, const std::optional<Words>& intended, const Words& after);

struct CutWrite {
  unsigned number = 0;
  Cut cut = Cut::Line;
  unsigned after = 0;                     // exchanges before the cut
  std::chrono::milliseconds silence{0};  // how long the device stayed down after a power failure
  std::vector<std::string> changes;       // KEY=VALUE
  int exitStatus = -1;
  std::string failureText;  // the program's "lanterna-cli: ..." line, without that prefix
  Image image = Image::Old;
  bool statusRight = false;
  std::chrono::milliseconds took{0};
};

struct CutWriteOptions {
  unsigned writes = 100;
  std::uint32_t seed = 1;
  std::filesystem::path lanternaCli;
  std::filesystem::path fennecSim;
  std::filesystem::path folder;  // for the memory file, the link, the logs; must exist
  // The program's port time-out; a power failure keeps the device down for 100 to 1500 ms,
  // so that some come back within the program's repetition and some after it.
  std::chrono::milliseconds timeout{500};
  std::function<void(const CutWrite&)> progress;  // after each cut write
};

struct CutWriteReport {
  CutWriteOptions options;
  unsigned calibration = 0;  // exchanges of an uncut write
  std::vector<CutWrite> writes;
  unsigned uncut = 0;  // runs the cut did not reach before the write had ended, drawn again
  std::chrono::milliseconds elapsed{0};

  unsigned Count(Image image) const;
  unsigned WrongStatus() const;
  bool Clean() const { return Count(Image::Mix) == 0 && WrongStatus() == 0; }
};

// Throws std::runtime_error when a program cannot be started or a read of the device fails.
CutWriteReport RunCutWrites(const CutWriteOptions& options);

std::string FormatWrite(const CutWrite& write);
std::string FormatReport(const CutWriteReport& report);

}  // namespace fennec::cutwrites
