// The signals that end the agent in order: SIGTERM, SIGINT and SIGHUP. While a StopSignals
// object lives they are blocked everywhere except in the wait for input (LineReader with this
// object), so one that arrives mid-line takes effect when that line is done (lines already read
// into the reader's buffer are handled for about a millisecond more at most; see line_reader.h),
// and one that arrives while the agent waits ends the wait: the read loop ends as at the end of
// input, and main's destructors run. Every other signal keeps its disposition.
//
// One object per process, made before any input is read. Single-threaded.
#pragma once

#include <signal.h>

class StopSignals {
 public:
  StopSignals();
  ~StopSignals();
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

  // Whether a stop signal has arrived.
  bool requested() const;
  // Whether a stop signal has arrived or is pending (blocked, outside the wait for input).
  bool arrivedOrPending() const;
  // The signal mask to wait for input with: the one before this object, stop signals open.
  const sigset_t& waitMask() const { return previousMask; }

 private:
  sigset_t previousMask;
  struct sigaction previousActions[3];
};
