// The tests' process runner, inside: the clock its time limits are counted on and the time left
// until a deadline, for the POSIX and the Windows runner (run_process.cc, run_process_windows.cc)
// and the waits they share (run_process_waits.cc). For tests only.
#pragma once

#include <chrono>

namespace run_process_detail {

using Clock = std::chrono::steady_clock;

// Whole milliseconds until the deadline; 0 once it has passed.
inline int msLeft(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

}  // namespace run_process_detail
