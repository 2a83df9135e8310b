// The wlroots route and X applications: an X window under sway's Xwayland receives the agent's
// clicks through the same protocols, each right after a jump onto the window from an output
// without one. Xwayland loses such a click unless the pointer moves once more on the window
// before the press, which is why the agent steps one pixel away and back: Xwayland 22.1
// (Debian 12) and 24.1 (Debian 13) alike. A peer shows it on 24.1.6 under sway 1.10: wlrctl's
// click after its jump onto the window ("wlrctl pointer move -900 100", then "wlrctl pointer
// click left") never reaches the window, and arrives after "wlrctl pointer move 1 0" and
// "move -1 0" in between.
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "wayland/wayland_fixture.h"

namespace {

class Xwayland : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!SwaySession::installed() || access("/usr/bin/Xwayland", X_OK) != 0) {
      GTEST_SKIP() << "sway or Xwayland is not installed";
    }
    // The X window fills the first output (the session puts the first window there); the second
    // has no window, so a motion there and back is a jump onto the X window from outside it.
    session = std::make_unique<SwaySession>(
        std::vector<SessionOutput>{{1280, 800, 0, 0}, {1024, 768, 1280, 0}}, WAYLAND_X_RECEIVER);
    ASSERT_EQ(session->failure(), "");
    // The X client is ready once X has mapped its window, but sway shows the window only after
    // Xwayland has given it a Wayland surface; until then input reaches nothing (seen under
    // load with sway 1.10 and Xwayland 24.1: the window then received only the last position).
    // The test begins once a motion onto the window arrives.
    options.setEnv = session->environment();
    options.unsetEnv = {"DISPLAY", "INPUT_AGENT_BACKEND"};
    bool reached = false;
    for (int tries = 0; tries < 100 && !reached; ++tries) {
      runProcess({AGENT}, "M 5 5\nM 6 5\n", options);
      reached = waitForXLine("xmotion 5 5", 50) || waitForXLine("xmotion 6 5", 0);
    }
    ASSERT_TRUE(reached) << "the X window never received a motion:\n" << session->xOutput();
  }

  // Whether the X window reports this line (before a button event's time) within the time.
  bool waitForXLine(const std::string& line, int timeoutMs = 5000) {
    for (int waited = 0;; waited += 10) {
      const std::string out = "\n" + session->xOutput();
      if (out.find("\n" + line + "\n") != std::string::npos ||
          out.find("\n" + line + " t=") != std::string::npos) {
        return true;
      }
      if (waited >= timeoutMs) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }

  std::unique_ptr<SwaySession> session;
  ProcessOptions options;  // the agent's: this session, no X display, no forced route
};

TEST_F(Xwayland, ClicksAfterJumpsOntoAnXWindowArrive) {
  const ProcessResult result =
      runProcess({AGENT},
                 "M 1500 300\n"
                 "{\"cmd\":\"down\",\"x\":600,\"y\":400}\n{\"cmd\":\"up\",\"x\":600,\"y\":400}\n"
                 "M 1600 200\n"
                 "{\"cmd\":\"down\",\"x\":900,\"y\":100,\"button\":\"right\"}\n"
                 "{\"cmd\":\"up\",\"x\":900,\"y\":100,\"button\":\"right\"}\n",
                 options);
  EXPECT_EQ(result.exitStatus, 0);
  for (const char* line : {"xbutton 1 1 600 400", "xbutton 1 0 600 400", "xbutton 3 1 900 100",
                           "xbutton 3 0 900 100"}) {
    EXPECT_TRUE(waitForXLine(line)) << line << " in:\n" << session->xOutput();
  }
}

// Xwayland stamps X events with its own clock when it reads them from the compositor, whatever
// time the agent gives: two clicks in one burst arrived with one time for all four events, which
// Chromium takes for two first clicks. The agent spaces the presses, and the second press of
// such a burst has a later time than the first. (A fresh agent's first events can still share a
// time: for some 60 ms after a virtual pointer appears, the X window got its events late and
// together, seen on sway 1.7 with Xwayland 22.1; a controller's agent runs for the session.)
TEST_F(Xwayland, TwoClicksInOneBurstGetTwoTimes) {
  const std::string click =
      "{\"cmd\":\"down\",\"x\":600,\"y\":400}\n{\"cmd\":\"up\",\"x\":600,\"y\":400}\n";
  RunningProcess agent({AGENT}, options);
  ASSERT_TRUE(agent.waitForOut("READY\n"));
  ASSERT_TRUE(agent.write("M 600 400\n" + click));
  ASSERT_TRUE(waitForXLine("xbutton 1 0 600 400"));
  for (int burst = 0; burst < 3; ++burst) {
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    const std::size_t from = session->xOutput().size();
    ASSERT_TRUE(agent.write(click + click));
    std::vector<unsigned long> presses;
    for (int waited = 0; presses.size() < 2 && waited < 5000; waited += 10) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      presses.clear();
      const std::string out = session->xOutput().substr(from);
      for (std::size_t at = 0; (at = out.find("xbutton 1 1 600 400 t=", at)) != std::string::npos;
           ++at) {
        presses.push_back(std::stoul(out.substr(at + 22)));
      }
    }
    ASSERT_EQ(presses.size(), 2u) << session->xOutput().substr(from);
    EXPECT_GT(presses[1], presses[0]) << "burst " << burst << ":\n"
                                      << session->xOutput().substr(from);
  }
  EXPECT_EQ(agent.finish().exitStatus, 0);
}

}  // namespace
