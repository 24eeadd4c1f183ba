#include "xscreensaver/StopSignals.h"

#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <csignal>
#include <initializer_list>

namespace {

constexpr long kWatchdog_ns = 250L * 1000 * 1000;

// Written by the signal handlers, so nothing but flags.
volatile std::sig_atomic_t g_stop_requested = 0;
volatile std::sig_atomic_t g_loop_serves_stops = 0;
timer_t g_watchdog{};
bool g_watchdog_made = false;

void EndNow(int) {
  _exit(0);
}

void RequestStop(int signal) {
  if (g_loop_serves_stops == 0 || !g_watchdog_made) {
    EndNow(signal);
  }
  g_stop_requested = 1;
  // timer_settime is async-signal-safe; a second signal only moves the deadline.
  itimerspec once{};
  once.it_value.tv_nsec = kWatchdog_ns;
  if (timer_settime(g_watchdog, 0, &once, nullptr) != 0) {
    EndNow(signal);
  }
}

void Handle(int signal, void (*handler)(int)) {
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  // No SA_RESTART: the wait in poll() returns at once with EINTR.
  action.sa_flags = 0;
  sigaction(signal, &action, nullptr);
}

}  // namespace

void InstallStopSignals() {
  sigevent alarm_on_expiry{};
  alarm_on_expiry.sigev_notify = SIGEV_SIGNAL;
  alarm_on_expiry.sigev_signo = SIGALRM;
  g_watchdog_made = timer_create(CLOCK_MONOTONIC, &alarm_on_expiry, &g_watchdog) == 0;
  Handle(SIGALRM, &EndNow);
  sigset_t stops;
  sigemptyset(&stops);
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
    Handle(signal, &RequestStop);
    sigaddset(&stops, signal);
  }
  // A mask is inherited through exec: a stop its parent had blocked would never come.
  sigaddset(&stops, SIGALRM);
  sigprocmask(SIG_UNBLOCK, &stops, nullptr);
}

void ServeStopsInLoop() {
  g_loop_serves_stops = 1;
}

bool StopRequested() {
  return g_stop_requested != 0;
}
