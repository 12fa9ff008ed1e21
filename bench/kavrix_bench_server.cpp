// The engine on its own, for the load benchmark until the service program
// runs in the foreground: starts the engine exactly as the service does and
// stops it on SIGTERM or SIGINT. Settings come from KAVRIX_ROOT as usual.

#include <pthread.h>
#include <signal.h>

#include <cstdio>

#include "service/engine_assembly.h"

int main() {
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGTERM);
  sigaddset(&stopSignals, SIGINT);
  // Blocked before any thread exists, so every thread inherits the mask and
  // sigwait below is the one place the signals arrive.
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
  signal(SIGPIPE, SIG_IGN);

  std::unique_ptr<MainEngine> engine = LCreateServiceEngine(nullptr);
  engine->Start();
  int received = 0;
  sigwait(&stopSignals, &received);
  engine->Stop();
  std::fprintf(stderr, "stopped on signal %d\n", received);
  return 0;
}
