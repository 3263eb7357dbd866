#include "Platform/Interrupts.h"

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <thread>

namespace fennec::platform {

void RouteInterrupts(std::function<void(int signal)> onSignal) {
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
  std::thread([signals, onSignal = std::move(onSignal)] {
    while (true) {
      int signal = 0;
      if (sigwait(&signals, &signal) == 0) onSignal(signal);
    }
  }).detach();
}

void ExitAtOnce(int status) { _exit(status); }

}  // namespace fennec::platform
