#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace killed_writers {

using Clock = std::chrono::steady_clock;

// One write: which writer, and which of its writes (numbered from 1).
struct WriteId {
  unsigned writer = 0;
  std::uint32_t sequence = 0;
  auto operator<=>(const WriteId&) const = default;
};

// Where a write goes below the writers' registry path: each writer's own text and number, and
// a few text slots that every writer writes in turn, so that writers overwrite each other.
struct Target {
  std::string subKey;
  std::string valueName;
  bool number = false;

  std::string Name() const { return subKey + "\\" + valueName; }
};

inline constexpr const char* kRegistryPath = "HKEY_CURRENT_USER\\Software\\ORLA Software\\KilledWriters";
inline constexpr unsigned kSharedSlots = 4;
inline constexpr unsigned kMaxWriter = 0xFF;
inline constexpr std::uint32_t kMaxSequence = 0xFFFFFF;

Target TargetOf(WriteId id);
// Every target the writers 1..writers can have written.
std::vector<Target> TargetsOf(unsigned writers);

// Values that say who wrote them. A text carries a body worked out from its writer and number,
// with the characters XML escapes, so a text cut short or mixed with another never reads back
// as a write; a number carries the writer in its top byte.
std::string TextValue(WriteId id);
std::optional<WriteId> ParseTextValue(std::string_view text);
std::uint32_t NumberValue(WriteId id);
std::optional<WriteId> ParseNumberValue(std::uint32_t number);

// The simulated device's table 100 as one save leaves it: the writer, the number, then words
// worked out from both.
std::vector<std::uint16_t> DeviceImage(WriteId id, std::size_t words);
std::optional<WriteId> ParseDeviceImage(std::span<const std::uint16_t> image);

// The line a writer prints once a write returned success: number, start and end of the write
// (steady clock, which all processes of the machine share), without its line end.
struct Report {
  std::uint32_t sequence = 0;
  Clock::time_point start;
  Clock::time_point end;
};
std::string ReportLine(const Report& report);
std::optional<Report> ParseReportLine(std::string_view line);

}  // namespace killed_writers
