#pragma once

#include <string>
#include <vector>

namespace lanterna {

// The pages a device gets, and the generation and kind its admissibility check found.
struct tDevicePages {
  std::vector<std::string> shownKeys;
  bool is32 = false;
  bool isPFC = false;
};

}  // namespace lanterna
