// A person's session forwarded by the browser client, replayed through the agent into Chromium on
// a private Xvfb (the X11 route), at the person's pace and all at once: what arrives is what the
// person's own input made (apps/forwarded_session.h says what is compared).
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "apps/chromium.h"
#include "apps/forwarded_session.h"
#include "support/run_process.h"
#include "support/xvfb.h"

namespace {

using namespace std::chrono_literals;

class ReplayOnX11 : public testing::Test {
 protected:
  // A fresh receiver for each run of the suite (--gtest_repeat runs it again).
  static void SetUpTestSuite() {
    takesInput = false;
    server = std::make_unique<Xvfb>(1024, 768);
    if (!server->available()) return;
    browser = std::make_unique<Chromium>(server->display(), "file://" APPS_DIR "/replay_page.html",
                                         800, 600);
  }
  static void TearDownTestSuite() {
    browser.reset();
    server.reset();
  }

  void SetUp() override {
    if (!server->available()) GTEST_SKIP() << "Xvfb cannot be started here";
    if (!browser->available()) GTEST_SKIP() << "Chromium cannot be started here";
    // Chromium may drop the first input after it starts: Shift taps until one arrives. X gives
    // the keyboard to the window under the pointer.
    if (!takesInput) {
      const auto deadline = std::chrono::steady_clock::now() + 10s;
      while (browser->evaluate("events.length") == 0) {
        ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "Chromium takes no input";
        runProcess({AGENT}, "M 400 300\n{\"cmd\":\"key\",\"code\":\"ShiftLeft\"}\n", agent());
        std::this_thread::sleep_for(200ms);
      }
      takesInput = true;
    }
  }

  static ProcessOptions agent() {
    ProcessOptions options;
    options.setEnv = {{"DISPLAY", server->display()}};
    return options;
  }

  static std::unique_ptr<Xvfb> server;
  static std::unique_ptr<Chromium> browser;
  static bool takesInput;
};
std::unique_ptr<Xvfb> ReplayOnX11::server;
std::unique_ptr<Chromium> ReplayOnX11::browser;
bool ReplayOnX11::takesInput = false;

TEST_F(ReplayOnX11, AtThePersonsPace) { replayAndCompare(*browser, agent(), Pace::kPersons); }

TEST_F(ReplayOnX11, AllAtOnce) { replayAndCompare(*browser, agent(), Pace::kAllAtOnce); }

// The dead-key session (apps/forwarded_session.h) through the forwarding client, then the agent.
TEST_F(ReplayOnX11, DeadKeysAndAltGrArriveAsTheirText) {
  std::vector<std::string> lines;
  {
    Chromium client(server->display(), "file://" FORWARDING_PAGE, 800, 600);
    ASSERT_TRUE(client.available());
    lines = deadKeySessionLines(client);
  }
  std::string input = "M 400 100\n";
  for (const std::string& line : lines) input += line + "\n";
  ASSERT_EQ(browser->evaluate("text.value = ''; text.focus(); true"), true);
  const ProcessResult result = runProcess({AGENT}, input, agent());
  EXPECT_EQ(result.exitStatus, 0);
  const auto deadline = std::chrono::steady_clock::now() + 5s;
  while (browser->evaluate("text.value") != kDeadKeySessionText &&
         std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(50ms);
  }
  EXPECT_EQ(browser->evaluate("text.value"), kDeadKeySessionText) << input;
}

}  // namespace
