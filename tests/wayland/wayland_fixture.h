// The Wayland end-to-end fixture: a headless sway session per test (support/sway_session.h), the
// agent run in it, and the receiver's report read back line by line.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "support/receiver_lines.h"
#include "support/run_process.h"
#include "support/sway_session.h"

class WaylandTest : public ::testing::Test {
 protected:
  virtual std::vector<SessionOutput> outputs() const { return {{1280, 800, 0, 0}}; }
  virtual std::string seatLayout() const { return "us"; }

  void SetUp() override {
    if (!SwaySession::installed()) GTEST_SKIP() << "sway is not installed";
    session = std::make_unique<SwaySession>(outputs(), "", seatLayout());
    ASSERT_EQ(session->failure(), "");
  }

  // The agent's environment: this session's Wayland display and no X display.
  ProcessOptions agentOptions() const {
    ProcessOptions options;
    options.setEnv = session->environment();
    options.unsetEnv = {"DISPLAY", "INPUT_AGENT_BACKEND"};
    return options;
  }

  // Runs the agent on the input and then a marker (the text "¶") and returns the receiver's
  // lines from the agent's start up to the marker, those that begin with one of the prefixes.
  // The modifier state that the agent's new keyboard brings at its start ("mods -") is left out.
  std::vector<std::string> run(const std::string& input,
                               const std::vector<std::string_view>& prefixes) {
    const std::size_t from = session->receiver().out().size();
    const ProcessResult result =
        runProcess({AGENT}, input + "{\"cmd\":\"key\",\"key\":\"¶\"}\n", agentOptions());
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.out, "READY\n");
    EXPECT_TRUE(waitForLine(from, isMarker)) << "the marker never arrived";
    std::vector<std::string> seen;
    for (const std::string& line : linesSince(from)) {
      if (isMarker(line)) break;
      seen.push_back(line);
    }
    // The marker comes from the agent's text keyboard, whose keymap and modifiers (none) the
    // window gets first.
    if (seen.size() >= 2 && seen[seen.size() - 2] == "keymap" && seen.back() == "mods -") {
      seen.resize(seen.size() - 2);
    }
    std::vector<std::string> lines;
    for (const std::string& line : seen) {
      if (lines.empty() && line == "mods -") continue;
      if (hasPrefix(line, prefixes)) lines.push_back(line);
    }
    return lines;
  }

  static bool isMarker(const std::string& line) {
    const std::string_view end = " 1 ¶";
    return line.rfind("key ", 0) == 0 && line.size() > end.size() &&
           line.compare(line.size() - end.size(), end.size(), end) == 0;
  }

  // Whether the receiver prints a line that matches after `from` (an offset in its output)
  // within the time.
  template <typename Match>
  bool waitForLine(std::size_t from, Match&& matches, int timeoutMs = 5000) {
    return waitForReceiverLine(session->receiver(), from, std::forward<Match>(matches), timeoutMs);
  }

  std::vector<std::string> linesSince(std::size_t from) const {
    return receiverLinesSince(session->receiver().out(), from);
  }

  static bool hasPrefix(const std::string& line, const std::vector<std::string_view>& prefixes) {
    return hasLinePrefix(line, prefixes);
  }

  std::unique_ptr<SwaySession> session;
};
