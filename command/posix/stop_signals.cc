// POSIX stop requests: SIGTERM, SIGINT and SIGHUP (see command/stop_signals.h). They are blocked
// everywhere except in the wait for input, which opens them with pselect (input_wait.cc), so
// none is lost between the check of the flag and the wait.
#include "command/stop_signals.h"

#include <csignal>

#include "command/posix/stop_mask.h"

namespace {

constexpr int kStopSignals[] = {SIGTERM, SIGINT, SIGHUP};
volatile std::sig_atomic_t stopRequested = 0;
sigset_t previousMask;
struct sigaction previousActions[3];

extern "C" void noteStop(int) { stopRequested = 1; }

}  // namespace

const sigset_t& stopWaitMask() { return previousMask; }

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
