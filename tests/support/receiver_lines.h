// Reading a receiver's report line by line, for the end-to-end fixtures of the Wayland routes
// (wayland/wayland_fixture.h, support/receiver_fixture.h): the whole lines printed after an
// offset in its output, waiting for one that matches, and filtering lines by their first word;
// and input whose every motion arrives.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "support/run_process.h"

// The whole lines of `out` that start at or after `from` (an offset in it).
inline std::vector<std::string> receiverLinesSince(const std::string& out, std::size_t from) {
  std::vector<std::string> lines;
  std::size_t start = from;
  while (true) {
    const std::size_t end = out.find('\n', start);
    if (end == std::string::npos) break;
    lines.push_back(out.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

// Whether the receiver prints a line that matches after `from` (an offset in its output)
// within the time.
template <typename Match>
bool waitForReceiverLine(RunningProcess& receiver, std::size_t from, Match&& matches,
                         int timeoutMs) {
  for (int waited = 0; waited < timeoutMs; waited += 20) {
    for (const std::string& seen : receiverLinesSince(receiver.out(), from)) {
      if (matches(seen)) return true;
    }
    receiver.waitForOut("\x01 (collects for a while)", 20);
  }
  return false;
}

// Whether the line's first word is one of the prefixes.
inline bool hasLinePrefix(const std::string& line, const std::vector<std::string_view>& prefixes) {
  for (std::string_view prefix : prefixes) {
    if (line.compare(0, prefix.size() + 1, std::string(prefix) + " ") == 0) return true;
  }
  return false;
}

// Motion lines, each followed by a scroll of nothing, which sends a motion that the agent held
// back (it coalesces motion that comes faster than a display shows while more lines wait), so
// that every position arrives however fast the lines reach the agent.
inline std::string everyMotion(const std::vector<std::string>& lines) {
  std::string input;
  for (const std::string& line : lines) input += line + "\nW 0 0\n";
  return input;
}
