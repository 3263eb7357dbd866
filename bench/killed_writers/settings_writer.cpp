// Writes settings through cutils::CRegistryEx until it is killed. Write n of writer W goes where
// TargetOf({W, n}) says; after each write that returned success it prints one report line
// (number, start, end) and flushes, so the parent knows the write was done.
#include <charconv>
#include <cstdio>
#include <string>
#include <string_view>

#include "Common/RegistyEx.h"
#include "WrittenValues.h"

using namespace killed_writers;

int main(int argc, char** argv) {
  unsigned writer = 0;
  const std::string_view argument = argc == 2 ? argv[1] : "";
  const auto [end, error] = std::from_chars(argument.data(), argument.data() + argument.size(), writer);
  if (error != std::errc() || end != argument.data() + argument.size() || writer < 1 || writer > kMaxWriter) {
    std::fprintf(stderr, "usage: settings_writer WRITER (1 to %u)\n", kMaxWriter);
    return 2;
  }

  cutils::CRegistryEx registry(kRegistryPath);
  for (std::uint32_t sequence = 1; sequence <= kMaxSequence; ++sequence) {
    const WriteId id{writer, sequence};
    const Target target = TargetOf(id);
    const Clock::time_point start = Clock::now();
    const bool written = target.number ? registry.WriteDWord(target.subKey, target.valueName, NumberValue(id))
                                       : registry.WriteString(target.subKey, target.valueName, TextValue(id));
    const Clock::time_point done = Clock::now();
    if (!written) {
      std::fprintf(stderr, "settings_writer %u: write %u to %s failed\n", writer, sequence, target.Name().c_str());
      return 1;
    }
    // One line, one write to the pipe: a kill never leaves half a report that reads as whole.
    const std::string line = ReportLine({sequence, start, done}) + "\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
  }
  return 0;
}
