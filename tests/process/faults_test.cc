// The agent under faults of its surroundings: a reader that closes standard output, signals
// while it waits for input, standard input that cannot be read, and no usable display. In every
// case it stays silent, carries on with the lines it can read, and exits with status 0.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <string>
#include <thread>

#include "support/run_process.h"

namespace {

const std::string kSource = "CGEventSourceCreate 1\n";

// The trace of "M X Y" with no button held.
std::string moveTrace(const std::string& x, const std::string& y) {
  return "CGEventCreateMouseEvent src 5 " + x + " " + y + " 0\nCGEventPost 0\nCFRelease\n";
}

ProcessOptions traceOptions() {
  ProcessOptions options;
  options.unsetEnv = {"INPUT_AGENT_TRACE_FAIL", "INPUT_AGENT_TRACE_NULL_SOURCE"};
  return options;
}

TEST(Faults, StandardOutputGoneBeforeReady) {
  for (const bool noDescriptor : {false, true}) {
    ProcessOptions options = traceOptions();
    (noDescriptor ? options.noStdout : options.closeStdout) = true;
    const ProcessResult result = runProcess({TRACE_AGENT}, "M 1 2\nM 3 4\nQUIT\nM 5 6\n", options);
    EXPECT_EQ(result.signal, 0) << "no descriptor 1: " << noDescriptor;
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.err, kSource + moveTrace("1", "2") + moveTrace("3", "4"));
  }
}

TEST(Faults, StandardOutputClosedAfterReady) {
  RunningProcess agent({TRACE_AGENT}, traceOptions());
  ASSERT_TRUE(agent.waitForOut("READY\n"));
  agent.closeOutput();
  ASSERT_TRUE(agent.write("M 1 2\n"));
  ASSERT_TRUE(agent.waitForErr(moveTrace("1", "2")));
  ASSERT_TRUE(agent.write("M 3 4\n"));
  const ProcessResult result = agent.finish();
  EXPECT_EQ(result.signal, 0);
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.err, kSource + moveTrace("1", "2") + moveTrace("3", "4"));
}

// Signals that arrive while the agent waits in a read: stopping and continuing it, and signals
// whose default is to be ignored. None may end it or cost a line.
TEST(Faults, SignalsWhileWaitingForInput) {
  RunningProcess agent({TRACE_AGENT}, traceOptions());
  ASSERT_TRUE(agent.waitForOut("READY\n"));
  ASSERT_TRUE(agent.write("M 1 2\n"));
  ASSERT_TRUE(agent.waitForErr(moveTrace("1", "2")));
  std::string expected = kSource + moveTrace("1", "2");
  int n = 0;
  for (const int sig : {SIGSTOP, SIGCONT, SIGWINCH, SIGCHLD, SIGURG, SIGPIPE}) {
    ASSERT_EQ(kill(agent.pid(), sig), 0);
    if (sig == SIGSTOP) continue;  // the next line arrives only after SIGCONT
    const std::string x = std::to_string(++n);
    ASSERT_TRUE(agent.write("M " + x + " 0\n"));
    ASSERT_TRUE(agent.waitForErr(moveTrace(x, "0"))) << "after signal " << sig;
    expected += moveTrace(x, "0");
  }
  ASSERT_TRUE(agent.write("QUIT\n"));
  const ProcessResult result = agent.waitForExit();
  EXPECT_EQ(result.signal, 0);
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.out, "READY\n");
  EXPECT_EQ(result.err, expected);
}

// SIGTERM, SIGINT and SIGHUP end the agent as the end of input does: the lines read so far are
// handled, then it exits with status 0. The trace, standing in for macOS, keeps its source to
// the end: no release is traced.
TEST(Faults, StopSignalsEndTheAgentInOrder) {
  for (const int sig : {SIGTERM, SIGINT, SIGHUP}) {
    for (const bool lineFirst : {false, true}) {
      RunningProcess agent({TRACE_AGENT}, traceOptions());
      ASSERT_TRUE(agent.waitForOut("READY\n"));
      if (lineFirst) {
        ASSERT_TRUE(agent.write("M 1 2\n"));
        ASSERT_TRUE(agent.waitForErr(moveTrace("1", "2")));
      }
      ASSERT_EQ(kill(agent.pid(), sig), 0);
      const ProcessResult result = agent.waitForExit();
      EXPECT_EQ(result.signal, 0) << "signal " << sig;
      EXPECT_EQ(result.exitStatus, 0) << "signal " << sig;
      EXPECT_EQ(result.out, "READY\n");
      EXPECT_EQ(result.err, kSource + (lineFirst ? moveTrace("1", "2") : "")) << "signal " << sig;
    }
  }
}

// A stop signal that ends the wait for the rest of a line drops that partial line: "M 3 4" was
// to be "M 3 45" and must not move the pointer.
TEST(Faults, StopSignalDropsAPartialLine) {
  RunningProcess agent({TRACE_AGENT}, traceOptions());
  ASSERT_TRUE(agent.waitForOut("READY\n"));
  ASSERT_TRUE(agent.write("M 1 2\nM 3 4"));
  ASSERT_TRUE(agent.waitForErr(moveTrace("1", "2")));
  // Time for the agent to read the partial line and wait for its end.
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  ASSERT_EQ(kill(agent.pid(), SIGTERM), 0);
  const ProcessResult result = agent.waitForExit();
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.err, kSource + moveTrace("1", "2"));
}

// Standard input that fails to read ends the input as its end would: "READY", then exit 0. A
// closed descriptor 0 is the same to the agent as an empty standard input.
TEST(Faults, ReadErrorEndsTheInput) {
  ProcessOptions directory = traceOptions();
  directory.stdinPath = "/";  // read() fails with EISDIR
  ProcessOptions closed = traceOptions();
  closed.noStdin = true;
  for (const ProcessOptions& options : {directory, closed}) {
    const ProcessResult result = runProcess({TRACE_AGENT}, "", options);
    EXPECT_EQ(result.signal, 0) << "no descriptor 0: " << options.noStdin;
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.out, "READY\n");
    EXPECT_EQ(result.err, kSource);
  }
}

// Without a display the real agent has nothing to post to: it says READY, handles every line
// silently, and exits 0.
TEST(Faults, NoUsableDisplay) {
#if defined(__APPLE__)
  GTEST_SKIP() << "macOS has no DISPLAY: the agent would post to the desktop";
#endif
  const std::string input =
      "M 10 10\nW 0 120\n{\"cmd\":\"down\"}\n{\"cmd\":\"up\"}\n"
      "{\"cmd\":\"key\",\"code\":\"KeyA\"}\n{\"cmd\":\"key\",\"key\":\"\xc3\xa9\"}\n"
      "{\"cmd\":\"shortcut\",\"shortcut\":\"copy\"}\nRESET\nQUIT\n";
  const struct {
    const char* name;
    bool unset;
    const char* display;
  } cases[] = {
      {"unset", true, ""},
      {"empty", false, ""},
      {"no server there", false, ":999"},
      {"no such screen", false, ":999.7"},
      {"not a display name", false, "no display"},
  };
  for (const auto& c : cases) {
    ProcessOptions options;
    if (c.unset) {
      options.unsetEnv = {"DISPLAY"};
    } else {
      options.setEnv = {{"DISPLAY", c.display}};
    }
    const ProcessResult result = runProcess({AGENT}, input, options);
    EXPECT_EQ(result.signal, 0) << c.name;
    EXPECT_EQ(result.exitStatus, 0) << c.name;
    EXPECT_EQ(result.out, "READY\n") << c.name;
    EXPECT_EQ(result.err, "") << c.name;
  }
}

// The runner's own time limit: a program that never ends is killed after it, so a hung agent
// fails its test at once instead of holding up the run.
TEST(Faults, TheRunnerEndsAProgramThatHangs) {
  ProcessOptions options;
  options.timeoutMs = 200;
  const ProcessResult result = runProcess({"/bin/sleep", "60"}, "", options);
  EXPECT_TRUE(result.timedOut);
  EXPECT_EQ(result.signal, SIGKILL);
}

}  // namespace
