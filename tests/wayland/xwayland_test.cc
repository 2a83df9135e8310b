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
#include <thread>

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

  // Whether the X window reports this whole line within the time.
  bool waitForXLine(const std::string& line, int timeoutMs = 5000) {
    for (int waited = 0;; waited += 10) {
      if (("\n" + session->xOutput()).find("\n" + line + "\n") != std::string::npos) return true;
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

}  // namespace
