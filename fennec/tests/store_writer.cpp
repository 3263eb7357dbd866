// Test helper: writes COUNT values named PREFIX<i> = i below the default key, so that tests can
// run several writers as separate processes against one store (FENNEC_REGISTRY).
#include <cstdlib>
#include <iostream>
#include <string>

#include "Common/RegistyEx.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: store_writer COUNT PREFIX\n";
    return 2;
  }
  const int count = std::atoi(argv[1]);
  cutils::CRegistryEx registry("HKEY_CURRENT_USER\\Software\\ORLA Software");
  for (int i = 0; i < count; ++i)
    if (!registry.WriteDWord("Concurrency", argv[2] + std::to_string(i), static_cast<std::uint32_t>(i))) return 1;
  return 0;
}
