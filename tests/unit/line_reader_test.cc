#include "command/line_reader.h"

#include <gtest/gtest.h>
#include <signal.h>
#if defined(__linux__)
#include <sys/syscall.h>
#endif
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "command/stop_signals.h"

namespace {

using namespace std::string_literals;

// Feeds the chunks through a pipe, one write each, and collects every line the reader returns.
std::vector<std::string> readLines(const std::vector<std::string>& chunks,
                                   std::size_t maxLine = kMaxLineBytes) {
  int fds[2];
  EXPECT_EQ(pipe(fds), 0);
  std::thread writer([&] {
    for (const auto& chunk : chunks) {
      std::size_t done = 0;
      while (done < chunk.size()) {
        const ssize_t n = write(fds[1], chunk.data() + done, chunk.size() - done);
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
      }
    }
    close(fds[1]);
  });
  LineReader reader(fds[0], maxLine);
  std::vector<std::string> lines;
  while (auto line = reader.next()) lines.emplace_back(*line);
  writer.join();
  close(fds[0]);
  return lines;
}

using Lines = std::vector<std::string>;

TEST(LineReader, RemovesOneTerminator) {
  const struct {
    std::string input;
    Lines lines;
  } cases[] = {
      {"", {}},
      {"a\nb\n", {"a", "b"}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\r\r\n", {"a\r"}},
      {"a\rb\n", {"a\rb"}},
      {"\n\n", {"", ""}},
      {"last", {"last"}},
      {"last\r", {"last"}},
      {"  pad \t\n", {"  pad \t"}},
      {"nul\0inside\n"s, {"nul\0inside"s}},
  };
  for (const auto& c : cases) EXPECT_EQ(readLines({c.input}), c.lines) << c.input;
}

TEST(LineReader, JoinsLinesSplitAcrossReads) {
  EXPECT_EQ(readLines({"M 1", "00 2", "00\r", "\nQUIT", "\n"}), (Lines{"M 100 200", "QUIT"}));
}

TEST(LineReader, DropsOverlongLinesWhole) {
  const std::string atLimit(16, 'a');
  const std::string over(17, 'b');
  EXPECT_EQ(readLines({atLimit + "\n" + over + "\nnext\n"}, 16), (Lines{atLimit, "next"}));
  EXPECT_EQ(readLines({atLimit + "\r\n"}, 16), (Lines{atLimit}));
  EXPECT_EQ(readLines({over}, 16), Lines{});
  // Far longer than the buffer, in many reads.
  std::vector<std::string> chunks(64, std::string(100000, 'x'));
  chunks.push_back("\nafter\n");
  EXPECT_EQ(readLines(chunks, 1 << 20), (Lines{"after"}));
}

TEST(LineReader, KeepsLinesUpToTheDefaultBound) {
  const std::string big(kMaxLineBytes, 'y');
  const Lines lines = readLines({big + "\n" + big + "z\nend\n"});
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], big);
  EXPECT_EQ(lines[1], "end");
}

// The write end of the pipe that beforeWait feeds, and how often it was called.
int waitFeed = -1;
int waitCalls = 0;
void feedOnWait() {
  ++waitCalls;
  const std::string rest = "c\nd\n";
  EXPECT_EQ(write(waitFeed, rest.data(), rest.size()), static_cast<ssize_t>(rest.size()));
  close(waitFeed);
}

// beforeWait runs once the buffered lines are used up and the reader would have to wait (here
// in the middle of a line), never while input is ready: not before the first read, nor at the
// end of input.
TEST(LineReader, CallsBeforeWaitOnlyWhenItWouldWait) {
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  const std::string first = "a\nb";
  ASSERT_EQ(write(fds[1], first.data(), first.size()), static_cast<ssize_t>(first.size()));
  waitFeed = fds[1];
  waitCalls = 0;
  LineReader reader(fds[0], kMaxLineBytes, nullptr, feedOnWait);
  Lines lines;
  while (auto line = reader.next()) {
    lines.emplace_back(*line);
    if (lines.size() == 1) {
      EXPECT_EQ(waitCalls, 0);
    }
  }
  close(fds[0]);
  EXPECT_EQ(lines, (Lines{"a", "bc", "d"}));
  EXPECT_EQ(waitCalls, 1);
}

// A stop signal that is pending (blocked while a line is handled) ends the input before the
// next line, even when that line is already in the buffer, once the reader looks (at most a
// millisecond later): lines read ahead are not handled.
TEST(LineReader, PendingStopSignalDropsBufferedLines) {
  sigset_t before;
  ASSERT_EQ(sigprocmask(SIG_SETMASK, nullptr, &before), 0);
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  const std::string input = "a\nb\nc\n";
  ASSERT_EQ(write(fds[1], input.data(), input.size()), static_cast<ssize_t>(input.size()));
  Lines lines;
  {
    const StopSignals stops;
    LineReader reader(fds[0], kMaxLineBytes, &stops);
    while (auto line = reader.next()) {
      lines.emplace_back(*line);
      if (lines.size() == 1) {
        raise(SIGTERM);  // blocked: pending until the next wait
        // The reader looks for pending signals at most once a millisecond.
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
      }
    }
    EXPECT_FALSE(reader.next());
    // Take the pending signal, so that it never reaches the test's own disposition.
    sigset_t term;
    sigemptyset(&term);
    sigaddset(&term, SIGTERM);
    int taken = 0;
    EXPECT_EQ(sigwait(&term, &taken), 0);
    EXPECT_EQ(taken, SIGTERM);
  }
  sigprocmask(SIG_SETMASK, &before, nullptr);
  close(fds[0]);
  close(fds[1]);
  EXPECT_EQ(lines, Lines{"a"});
}

#if defined(__linux__)
// Linux only: the test watches the reading thread through /proc.
// Whether the thread is asleep in the kernel, as it is inside a read that waits for input.
bool sleeping(pid_t tid) {
  std::ifstream stat("/proc/self/task/" + std::to_string(tid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  const auto close = text.rfind(')');
  return close != std::string::npos && close + 2 < text.size() && text[close + 2] == 'S';
}

std::atomic<int> signalsCaught{0};
void countSignal(int) { ++signalsCaught; }

// A process that has a signal handler installed without SA_RESTART: a signal that arrives
// while the reader waits makes read() fail with EINTR, and the reader must read again.
TEST(LineReader, RetriesReadsInterruptedBySignals) {
  struct sigaction action {
  }, previous{};
  action.sa_handler = countSignal;
  sigemptyset(&action.sa_mask);
  ASSERT_EQ(sigaction(SIGUSR1, &action, &previous), 0);
  const pid_t readerTid = static_cast<pid_t>(syscall(SYS_gettid));
  const pthread_t readerThread = pthread_self();
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);

  // Interrupts the reader twice while it waits, then writes the chunk.
  auto interruptThenWrite = [&](const std::string& chunk) {
    for (int i = 0; i < 2; ++i) {
      while (!sleeping(readerTid)) std::this_thread::sleep_for(std::chrono::milliseconds(1));
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
      pthread_kill(readerThread, SIGUSR1);
    }
    while (!sleeping(readerTid)) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_EQ(write(fds[1], chunk.data(), chunk.size()), static_cast<ssize_t>(chunk.size()));
  };

  // The setup does interrupt a bare read.
  std::thread check([&] { interruptThenWrite("x"); });
  char byte;
  errno = 0;
  EXPECT_EQ(read(fds[0], &byte, 1), -1);
  EXPECT_EQ(errno, EINTR);
  check.join();
  EXPECT_EQ(read(fds[0], &byte, 1), 1);

  signalsCaught = 0;
  std::thread writer([&] {
    interruptThenWrite("M 1 2\nM 3");
    interruptThenWrite(" 4\n");
    close(fds[1]);
  });
  LineReader reader(fds[0]);
  std::vector<std::string> lines;
  while (auto line = reader.next()) lines.emplace_back(*line);
  writer.join();
  close(fds[0]);
  sigaction(SIGUSR1, &previous, nullptr);
  EXPECT_EQ(lines, (Lines{"M 1 2", "M 3 4"}));
  EXPECT_EQ(signalsCaught, 4);
}
#endif

}  // namespace
