// The end-to-end fixture of the KDE and GNOME routes: a private headless compositor session per
// test (support/kwin_session.h, support/mutter_session.h), the agent run in it, and the
// receiver's report read back line by line. Session has installed(), failure(), environment()
// and receiver().
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "support/fixed_values.h"
#include "support/receiver_lines.h"
#include "support/run_process.h"

template <typename Session>
class ReceiverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!Session::installed()) GTEST_SKIP() << "the compositor is not installed";
    session = std::make_unique<Session>();
    ASSERT_EQ(session->failure(), "");
  }

  // The agent's environment: this session's Wayland display, no X display, no forced route.
  ProcessOptions agentOptions() const {
    ProcessOptions options;
    options.setEnv = session->environment();
    options.unsetEnv = {"DISPLAY", "INPUT_AGENT_BACKEND"};
    return options;
  }

  // Runs the agent on the input and then a marker (a horizontal scroll of 77 pixels, which no
  // test sends) and returns the receiver's lines from the agent's
  // start up to the marker, those that begin with one of the prefixes.
  std::vector<std::string> run(const std::string& input,
                               const std::vector<std::string_view>& prefixes,
                               const ProcessOptions* options = nullptr) {
    const std::size_t from = session->receiver().out().size();
    const ProcessResult result =
        runProcess({AGENT}, input + "W 77 0\n", options ? *options : agentOptions());
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.out, "READY\n");
    if (!waitForLine(from, isMarker)) {
      ADD_FAILURE() << "the marker never arrived; the receiver printed:\n"
                    << session->receiver().out().substr(from) << "the agent:\n"
                    << result.err;
      return {};
    }
    std::vector<std::string> lines;
    for (const std::string& line : linesSince(from)) {
      if (isMarker(line)) break;
      if (hasPrefix(line, prefixes)) lines.push_back(line);
    }
    return lines;
  }

  // The marker's scroll as the window receives it: 0.77 of a notch of 12.25 (the continuous axis
  // value of a notch on both routes), to within ten steps of wl_fixed_t (1/256 each): KWin hands
  // on what the agent rounded down to a step; mutter rounds a tenth of the value to a step and
  // sends ten times that.
  static bool isMarker(const std::string& line) {
    return sameLine(line, "axis 1 9.4325", withinFixedSteps(10));
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

  std::unique_ptr<Session> session;
};
