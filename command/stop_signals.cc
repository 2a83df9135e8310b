#include "command/stop_signals.h"

#include <csignal>

namespace {

constexpr int kStopSignals[] = {SIGTERM, SIGINT, SIGHUP};
volatile std::sig_atomic_t stopRequested = 0;

extern "C" void noteStop(int) { stopRequested = 1; }

}  // namespace

StopSignals::StopSignals() {
  sigset_t stops;
  sigemptyset(&stops);
  for (const int sig : kStopSignals) sigaddset(&stops, sig);
  sigprocmask(SIG_BLOCK, &stops, &previousMask);
  for (const int sig : kStopSignals) sigdelset(&previousMask, sig);
  struct sigaction action {};
  action.sa_handler = noteStop;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;  // no SA_RESTART: the wait for input must return
  for (int i = 0; i < 3; ++i) sigaction(kStopSignals[i], &action, &previousActions[i]);
}

StopSignals::~StopSignals() {
  for (int i = 0; i < 3; ++i) sigaction(kStopSignals[i], &previousActions[i], nullptr);
}

bool StopSignals::requested() const { return stopRequested != 0; }

bool StopSignals::arrivedOrPending() const {
  if (requested()) return true;
  sigset_t pending;
  if (sigpending(&pending) != 0) return false;
  for (const int sig : kStopSignals) {
    if (sigismember(&pending, sig) == 1) return true;
  }
  return false;
}
