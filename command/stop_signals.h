// The requests that end the agent in order, on every platform: on POSIX the signals SIGTERM,
// SIGINT and SIGHUP (command/posix/), on Windows Ctrl+C, Ctrl+Break and the closing of the
// console, the log-off or the shut-down (command/windows/). While a StopSignals object lives, a
// request that arrives mid-line takes effect when that line is done (lines already read into the
// reader's buffer are handled for about a millisecond more at most; see line_reader.h), and one
// that arrives while the agent waits for input ends the wait (input_wait.h): the read loop ends
// as at the end of input, and main's destructors release what the agent holds. On POSIX every
// other signal keeps its disposition; on Windows a console close is held off until the object
// is gone, so that the release happens before the process is ended.
//
// One object per process, made before any input is read. The loop is single-threaded.
#pragma once

class StopSignals {
 public:
  StopSignals();
  ~StopSignals();
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

  // Whether a stop request has arrived.
  bool requested() const;
  // Whether a stop request has arrived or is pending (on POSIX: blocked, outside the wait for
  // input).
  bool arrivedOrPending() const;
};
