#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

// A property a fuzzer checks beside the sanitizers: when it does not hold, the run stops as on a
// crash and libFuzzer keeps the input.
[[noreturn]] inline void FuzzFail(const std::string& what) {
  std::fprintf(stderr, "property broken: %s\n", what.c_str());
  std::abort();
}

inline void FuzzCheck(bool holds, const char* what) {
  if (!holds) FuzzFail(what);
}
