#pragma once

namespace lanterna::cli {

// Ctrl-C and SIGTERM end the program as a normal exit would leave the port: its exclusive flag
// cleared, its lock released; the status is 128 + the signal's number. Call at the start of
// main, before any thread.
void EndOnInterrupt();

// While one lives, a write is on its way to the device: the first interrupt is held until the
// write has been saved or has failed, and takes effect then; a second one aborts at once.
class CUncutWrite {
 public:
  CUncutWrite();
  ~CUncutWrite();
  CUncutWrite(const CUncutWrite&) = delete;
  CUncutWrite& operator=(const CUncutWrite&) = delete;
};

}  // namespace lanterna::cli
