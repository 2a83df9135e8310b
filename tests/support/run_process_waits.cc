// The tests' process runner: the waits of RunningProcess (see run_process.h), alike on every
// system. They stand on what each system's runner does its own way (run_process.cc over poll
// and waitpid, run_process_windows.cc over pipes and process handles): reading the output that
// has come (collect), closing standard input (closeInput), and waiting for the program's end
// (awaitEnd).
#include "support/run_process.h"
#include "support/run_process_deadline.h"

using run_process_detail::Clock;
using run_process_detail::msLeft;

bool RunningProcess::waitUntilHolds(const std::string& stream, std::string_view text, int timeoutMs,
                                    std::size_t from) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  while (stream.size() < from || stream.find(text, from) == std::string::npos) {
    if (msLeft(deadline) == 0 || !collect(msLeft(deadline))) return false;
  }
  return true;
}

bool RunningProcess::waitForOut(std::string_view text, int timeoutMs, std::size_t from) {
  return waitUntilHolds(result_.out, text, timeoutMs, from);
}

bool RunningProcess::waitForErr(std::string_view text, int timeoutMs) {
  return waitUntilHolds(result_.err, text, timeoutMs, 0);
}

ProcessResult RunningProcess::finish(int timeoutMs) {
  closeInput();
  return waitForExit(timeoutMs);
}

ProcessResult RunningProcess::waitForExit(int timeoutMs) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  while (msLeft(deadline) > 0 && collect(msLeft(deadline))) {
  }
  awaitEnd(msLeft(deadline));
  return result_;
}
