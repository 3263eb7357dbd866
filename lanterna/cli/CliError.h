#pragma once

#include <stdexcept>

namespace lanterna::cli {

// The program's exit status.
enum ExitCode : int {
  kExitSuccess = 0,
  kExitActionFailed = 1,  // the device action failed; its failure text is on standard error
  kExitBadInput = 2,      // bad usage or bad input; nothing was written to the device
};

// Bad usage or bad input, found before anything was written to the device. The program shows
// the text and ends with kExitBadInput.
class CBadInput : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace lanterna::cli
