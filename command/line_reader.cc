#include "command/line_reader.h"

#include <cstring>

#include "command/input_wait.h"
#include "command/stop_signals.h"

namespace {
constexpr std::size_t kReadChunk = 64 * 1024;
}

LineReader::LineReader(int fd, std::size_t maxLineBytes, const StopSignals* stops,
                       void (*beforeWait)())
    : fd(fd),
      stops(stops),
      beforeWait(beforeWait),
      maxLineBytes(maxLineBytes),
      buffer(kReadChunk) {}

bool LineReader::stopped() {
  if (stops == nullptr) return false;
  // Asking the kernel for pending signals costs a system call, far more than a line of the
  // fast path: it is asked at most once per kStopCheckInterval.
  if (!stops->requested()) {
    const auto now = std::chrono::steady_clock::now();
    if (now - lastStopCheck < kStopCheckInterval) return false;
    lastStopCheck = now;
    if (!stops->arrivedOrPending()) return false;
  }
  endByStop();
  return true;
}

void LineReader::endByStop() {
  // What is buffered, a partial last line included, is never handled.
  ended = true;
  discarding = false;
  begin = end = scanned = 0;
}

bool LineReader::waitReadable() {
  if (stops == nullptr && beforeWait == nullptr) return true;
  // With beforeWait, a first look that does not wait tells whether input is ready; beforeWait
  // runs only if it is not.
  if (beforeWait != nullptr) {
    const InputWait looked = waitForInput(fd, stops, false);
    if (looked != InputWait::notReady) return looked == InputWait::ready;
    beforeWait();
  }
  return waitForInput(fd, stops, true) == InputWait::ready;
}

bool LineReader::fill() {
  if (ended) return false;
  if (begin > 0) {
    std::memmove(buffer.data(), buffer.data() + begin, end - begin);
    end -= begin;
    begin = 0;
  }
  if (buffer.size() - end < kReadChunk / 2) buffer.resize(buffer.size() * 2);
  if (!waitReadable()) {
    endByStop();
    return false;
  }
  const long got = readInput(fd, buffer.data() + end, buffer.size() - end);
  if (got > 0) {
    end += static_cast<std::size_t>(got);
    return true;
  }
  ended = true;
  return false;
}

std::optional<std::string_view> LineReader::next() {
  for (;;) {
    char* const base = buffer.data();
    void* found = std::memchr(base + begin + scanned, '\n', end - begin - scanned);
    if (found != nullptr) {
      const std::size_t feed = static_cast<std::size_t>(static_cast<char*>(found) - base);
      std::string_view line(base + begin, feed - begin);
      begin = feed + 1;
      scanned = 0;
      if (discarding) {
        discarding = false;
        continue;
      }
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      if (line.size() > maxLineBytes) continue;
      if (stopped()) return std::nullopt;
      return line;
    }
    scanned = end - begin;
    // Room for the longest line, its carriage return, and nothing more.
    if (scanned > maxLineBytes + 1) {
      discarding = true;
      begin = end = scanned = 0;
    }
    if (!fill()) {
      if (discarding || begin == end) return std::nullopt;
      std::string_view line(buffer.data() + begin, end - begin);
      begin = end;
      scanned = 0;
      if (line.back() == '\r') line.remove_suffix(1);
      if (line.size() > maxLineBytes || stopped()) return std::nullopt;
      return line;
    }
  }
}
