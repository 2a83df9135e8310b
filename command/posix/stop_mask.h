// POSIX: the signal mask to wait for input with, the one from before the StopSignals object with
// the stop signals open (command/posix/stop_signals.cc). Valid while that object lives.
#pragma once

#include <signal.h>

const sigset_t& stopWaitMask();
