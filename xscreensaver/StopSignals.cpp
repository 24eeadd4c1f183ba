#include "xscreensaver/StopSignals.h"

#include <signal.h>

#include <csignal>
#include <initializer_list>

namespace {

// Written by the signal handler, so nothing but a flag.
volatile std::sig_atomic_t g_stop_requested = 0;

void RequestStop(int) {
  g_stop_requested = 1;
}

}  // namespace

void InstallStopSignals() {
  struct sigaction action {};
  action.sa_handler = &RequestStop;
  sigemptyset(&action.sa_mask);
  // No SA_RESTART: the wait in poll() returns at once with EINTR.
  action.sa_flags = 0;
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
    sigaction(signal, &action, nullptr);
  }
}

bool StopRequested() {
  return g_stop_requested != 0;
}
