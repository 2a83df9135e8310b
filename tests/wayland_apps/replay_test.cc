// A person's session forwarded by the browser client, replayed through the agent into Chromium
// natively on Wayland under a headless sway (the wlroots route, which the agent takes by
// itself), at the person's pace and all at once: what arrives is what the person's own input
// made (apps/forwarded_session.h says what is compared). Chromium asks for the whole output, so
// that the client's 800 x 500 area fits in it, and has a workspace to itself, away from the
// tests' receiver window; where the page sits there is measured.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "apps/chromium.h"
#include "apps/forwarded_session.h"
#include "support/run_process.h"
#include "support/sway_session.h"

namespace {

using namespace std::chrono_literals;

class ReplayOnSway : public testing::Test {
 protected:
  // A fresh receiver for each run of the suite (--gtest_repeat runs it again).
  static void SetUpTestSuite() {
    takesInput = false;
    if (!SwaySession::installed()) return;
    session = std::make_unique<SwaySession>();
    if (!session->failure().empty()) return;
    // Chromium alone on a workspace of its own (beside the receiver window, the agent's motion
    // to the left half reached the receiver, at exactly its point, and the page saw none).
    session->useEmptyWorkspace();
    browser = std::make_unique<Chromium>(session->environment(),
                                         "file://" APPS_DIR "/replay_page.html", 800, 600, true);
  }
  static void TearDownTestSuite() {
    browser.reset();
    session.reset();
  }

  void SetUp() override {
    if (!SwaySession::installed()) GTEST_SKIP() << "sway is not installed";
    ASSERT_EQ(session->failure(), "");
    if (!browser || !browser->available()) GTEST_SKIP() << "Chromium cannot be started here";
    if (takesInput) return;
    // Until Chromium has the focus (the tests' receiver window came first, and the dead-key
    // case's client window takes it), sway's command gives it; Chromium may drop the first
    // input after it takes it: Shift taps until one arrives.
    const auto deadline = std::chrono::steady_clock::now() + 15s;
    while (browser->evaluate("document.hasFocus()") != true) {
      ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "Chromium does not get the focus";
      session->command("[app_id=\"^chrome\"] focus");
      std::this_thread::sleep_for(100ms);
    }
    while (browser->evaluate("events.length") == 0) {
      ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "Chromium takes no input";
      runProcess({AGENT}, "M 400 300\n{\"cmd\":\"key\",\"code\":\"ShiftLeft\"}\n", agent());
      std::this_thread::sleep_for(200ms);
    }
    takesInput = true;
  }

  static ProcessOptions agent() {
    ProcessOptions options;
    options.setEnv = session->environment();
    options.unsetEnv = {"DISPLAY", "INPUT_AGENT_BACKEND"};
    return options;
  }

  static std::unique_ptr<SwaySession> session;
  static std::unique_ptr<Chromium> browser;
  static bool takesInput;
};
std::unique_ptr<SwaySession> ReplayOnSway::session;
std::unique_ptr<Chromium> ReplayOnSway::browser;
bool ReplayOnSway::takesInput = false;

TEST_F(ReplayOnSway, AtThePersonsPace) { replayAndCompare(*browser, agent(), Pace::kPersons); }

TEST_F(ReplayOnSway, AllAtOnce) { replayAndCompare(*browser, agent(), Pace::kAllAtOnce); }

// The dead-key session (apps/forwarded_session.h) through the forwarding client, then the agent.
TEST_F(ReplayOnSway, DeadKeysAndAltGrArriveAsTheirText) {
  std::vector<std::string> lines;
  {
    Chromium client(session->environment(), "file://" FORWARDING_PAGE, 800, 600);
    ASSERT_TRUE(client.available());
    lines = deadKeySessionLines(client);
  }
  // The client's window took the focus and is gone: back to the receiver.
  const auto deadline = std::chrono::steady_clock::now() + 15s;
  while (browser->evaluate("document.hasFocus()") != true) {
    ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "Chromium does not get the focus";
    session->command("[app_id=\"^chrome\"] focus");
    std::this_thread::sleep_for(100ms);
  }
  std::string input;
  for (const std::string& line : lines) input += line + "\n";
  ASSERT_EQ(browser->evaluate("text.value = ''; text.focus(); true"), true);
  const ProcessResult result = runProcess({AGENT}, input, agent());
  EXPECT_EQ(result.exitStatus, 0);
  while (browser->evaluate("text.value") != kDeadKeySessionText &&
         std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(50ms);
  }
  EXPECT_EQ(browser->evaluate("text.value"), kDeadKeySessionText) << input;
}

}  // namespace
