// Reads standard input (or any descriptor) one line at a time, without a copy per line.
//
// A line ends at a line feed, or at the end of input for a last line without one. The terminator
// is removed once: the line feed with a carriage return directly before it; at the end of input
// a last line that ends in a carriage return loses that too. Nothing else is trimmed.
//
// Lines of up to kMaxLineBytes (after the terminator is removed) are returned; a longer line is
// read and discarded up to its line feed and never held whole in memory, so memory stays bounded
// whatever the input. A read interrupted by a signal is retried; a read error ends the input as
// the end of input does. Given StopSignals, the reader waits for input with the stop signals
// open, and a stop signal ends the input as its end does, also one that is pending when a line
// already in the buffer would be returned (looked for at most once per kStopCheckInterval, so
// lines read ahead are handled for about that long at most): lines read but not yet returned,
// and a partial last line, are dropped.
//
// Given `beforeWait`, the reader calls it each time it is about to wait because no input is
// ready (never while input is waiting): main delivers what a route held back for the next line
// (a coalesced motion) before the agent sits idle.
#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

class StopSignals;

inline constexpr std::size_t kMaxLineBytes = std::size_t{1} << 20;

class LineReader {
 public:
  explicit LineReader(int fd, std::size_t maxLineBytes = kMaxLineBytes,
                      const StopSignals* stops = nullptr, void (*beforeWait)() = nullptr);

  // The next line, valid until the next call; none once the input has ended.
  std::optional<std::string_view> next();

 private:
  // Reads more bytes behind the buffered ones; false at the end of input or on an error.
  bool fill();
  // Waits until the descriptor can be read; false when a stop signal came first.
  bool waitReadable();
  // Whether a stop signal ends the input before the next line is returned.
  bool stopped();
  // Ends the input at a stop signal, dropping whatever is buffered.
  void endByStop();

  static constexpr std::chrono::milliseconds kStopCheckInterval{1};

  int fd;
  const StopSignals* stops;
  void (*beforeWait)();
  std::size_t maxLineBytes;
  std::vector<char> buffer;
  std::size_t begin = 0;    // first unconsumed byte
  std::size_t end = 0;      // one past the last buffered byte
  std::size_t scanned = 0;  // bytes from begin already known to hold no line feed
  bool ended = false;
  bool discarding = false;  // inside a line that is too long
  std::chrono::steady_clock::time_point lastStopCheck{};
};
