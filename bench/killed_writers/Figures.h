#pragma once

#include <cstddef>
#include <filesystem>
#include <set>
#include <string>

#include "WriteLedger.h"

namespace killed_writers {

// What one part of the run counted; the last four must stay 0.
struct Figures {
  unsigned kills = 0;
  std::size_t reportedWrites = 0;
  unsigned loadsFailed = 0;
  std::set<std::string> lost;        // targets, each counted once however often it was seen
  std::set<std::string> notWritten;
  unsigned writesFailed = 0;         // a writer that ended before its kill, or a write refused
  std::size_t temporariesLeft = 0;

  void Count(const std::string& target, const Verdict& verdict) {
    if (verdict.lost) lost.insert(target);
    if (verdict.notWritten) notWritten.insert(target);
  }

  bool Sound() const {
    return loadsFailed == 0 && lost.empty() && notWritten.empty() && writesFailed == 0 && temporariesLeft == 0;
  }
};

void Print(const std::string& title, const Figures& figures);

// Files beside FILE named "<file>.tmp-...": the temporary copies of an atomic replacement.
std::size_t TemporariesBeside(const std::filesystem::path& file);

}  // namespace killed_writers
