#include "Figures.h"

#include <cstdio>

namespace killed_writers {

void Print(const std::string& title, const Figures& figures) {
  std::printf("%s\n", title.c_str());
  std::printf("  kills                                  %u\n", figures.kills);
  std::printf("  writes reported as done                %zu\n", figures.reportedWrites);
  std::printf("  loads that failed                      %u\n", figures.loadsFailed);
  std::printf("  values lost that had been reported     %zu\n", figures.lost.size());
  std::printf("  values no writer wrote completely      %zu\n", figures.notWritten.size());
  std::printf("  writes that failed                     %u\n", figures.writesFailed);
  std::printf("  temporary files left after a new write %zu\n", figures.temporariesLeft);
  for (const std::string& target : figures.lost) std::printf("  lost: %s\n", target.c_str());
  for (const std::string& target : figures.notWritten) std::printf("  not written: %s\n", target.c_str());
}

std::size_t TemporariesBeside(const std::filesystem::path& file) {
  const std::string prefix = file.filename().string() + ".tmp-";
  std::size_t count = 0;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(file.parent_path(), error))
    if (entry.path().filename().string().starts_with(prefix)) ++count;
  return count;
}

}  // namespace killed_writers
