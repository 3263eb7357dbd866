#include "WrittenValues.h"

#include <charconv>

namespace killed_writers {

namespace {

constexpr std::string_view kAlphabet = "abcdefghijklmnopqrstuvwxyz0123456789<&>\"'";
constexpr std::size_t kShortestBody = 8;
constexpr std::size_t kBodyLengths = 600;

// A small generator of words from a seed (splitmix64): the same write always gives the same body.
class Words {
 public:
  explicit Words(WriteId id) : m_state((std::uint64_t{id.writer} << 32) | id.sequence) {}

  std::uint64_t Next() {
    std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }

 private:
  std::uint64_t m_state;
};

bool Valid(WriteId id) {
  return id.writer >= 1 && id.writer <= kMaxWriter && id.sequence >= 1 && id.sequence <= kMaxSequence;
}

template <typename Number>
bool TakeNumber(std::string_view& text, Number& out) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), out);
  if (error != std::errc() || end == text.data()) return false;
  text.remove_prefix(static_cast<std::size_t>(end - text.data()));
  return true;
}

bool TakePrefix(std::string_view& text, std::string_view prefix) {
  if (!text.starts_with(prefix)) return false;
  text.remove_prefix(prefix.size());
  return true;
}

}  // namespace

Target TargetOf(WriteId id) {
  const std::string own = "Writer" + std::to_string(id.writer);
  switch (id.sequence % 4) {
    case 0:
      return {own, "Text", false};
    case 1:
      return {own, "Number", true};
    default:
      return {"Shared", "Slot" + std::to_string((id.sequence / 4) % kSharedSlots), false};
  }
}

std::vector<Target> TargetsOf(unsigned writers) {
  std::vector<Target> targets;
  for (unsigned slot = 0; slot < kSharedSlots; ++slot) targets.push_back({"Shared", "Slot" + std::to_string(slot), false});
  for (unsigned writer = 1; writer <= writers; ++writer) {
    targets.push_back(TargetOf({writer, 4}));
    targets.push_back(TargetOf({writer, 1}));
  }
  return targets;
}

std::string TextValue(WriteId id) {
  Words words(id);
  std::string text = "w" + std::to_string(id.writer) + " s" + std::to_string(id.sequence) + " ";
  const std::size_t length = kShortestBody + words.Next() % kBodyLengths;
  for (std::size_t i = 0; i < length; ++i) text += kAlphabet[words.Next() % kAlphabet.size()];
  return text;
}

std::optional<WriteId> ParseTextValue(std::string_view text) {
  std::string_view rest = text;
  WriteId id;
  if (!TakePrefix(rest, "w") || !TakeNumber(rest, id.writer) || !TakePrefix(rest, " s") ||
      !TakeNumber(rest, id.sequence) || !Valid(id))
    return std::nullopt;
  if (TextValue(id) != text) return std::nullopt;
  return id;
}

std::uint32_t NumberValue(WriteId id) { return (id.writer << 24) | (id.sequence & kMaxSequence); }

std::optional<WriteId> ParseNumberValue(std::uint32_t number) {
  const WriteId id{number >> 24, number & kMaxSequence};
  if (!Valid(id)) return std::nullopt;
  return id;
}

std::vector<std::uint16_t> DeviceImage(WriteId id, std::size_t count) {
  std::vector<std::uint16_t> image{static_cast<std::uint16_t>(id.writer), static_cast<std::uint16_t>(id.sequence)};
  Words words(id);
  while (image.size() < count) image.push_back(static_cast<std::uint16_t>(words.Next()));
  image.resize(count);
  return image;
}

std::optional<WriteId> ParseDeviceImage(std::span<const std::uint16_t> image) {
  if (image.size() < 2) return std::nullopt;
  const WriteId id{image[0], image[1]};
  if (!Valid(id)) return std::nullopt;
  const std::vector<std::uint16_t> expected = DeviceImage(id, image.size());
  if (!std::equal(image.begin(), image.end(), expected.begin())) return std::nullopt;
  return id;
}

std::string ReportLine(const Report& report) {
  return std::to_string(report.sequence) + " " + std::to_string(report.start.time_since_epoch().count()) + " " +
         std::to_string(report.end.time_since_epoch().count());
}

std::optional<Report> ParseReportLine(std::string_view line) {
  Report report;
  Clock::rep start = 0;
  Clock::rep end = 0;
  if (!TakeNumber(line, report.sequence) || !TakePrefix(line, " ") || !TakeNumber(line, start) ||
      !TakePrefix(line, " ") || !TakeNumber(line, end) || !line.empty() || end < start)
    return std::nullopt;
  report.start = Clock::time_point(Clock::duration(start));
  report.end = Clock::time_point(Clock::duration(end));
  return report;
}

}  // namespace killed_writers
