#include "cli/Interruption.h"

#include <atomic>
#include <iostream>

#include "Platform/Interrupts.h"

namespace lanterna::cli {

namespace {

std::atomic<bool> g_writing{false};
std::atomic<int> g_heldSignal{0};

[[noreturn]] void EndInterrupted(int signal) {
  std::cerr << "\nlanterna-cli: interrupted; the port is released" << std::endl;
  fennec::platform::ReleaseExclusivePorts();
  fennec::platform::ExitAtOnce(128 + signal);
}

}  // namespace

void EndOnInterrupt() {
  fennec::platform::RouteInterrupts([](int signal) {
    if (g_writing && g_heldSignal.exchange(signal) == 0) {
      std::cerr << "\nlanterna-cli: finishing the write; Ctrl-C again to abort" << std::endl;
      return;
    }
    EndInterrupted(signal);
  });
}

CUncutWrite::CUncutWrite() { g_writing = true; }

CUncutWrite::~CUncutWrite() {
  g_writing = false;
  if (const int signal = g_heldSignal.exchange(0); signal != 0) EndInterrupted(signal);
}

}  // namespace lanterna::cli
