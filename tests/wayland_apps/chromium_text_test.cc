// Text into Chromium running natively on Wayland under a headless sway, the agent taking the
// wlroots route by itself: every character arrives, and no typed character's keydown carries a
// key's identity (`code`), which Chromium and the pages in it act on (Escape, Backspace, Tab,
// Enter, function keys).
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "apps/chromium.h"
#include "support/eventually.h"
#include "support/key_identity.h"
#include "support/run_process.h"
#include "support/sway_session.h"

namespace {

using namespace std::chrono_literals;

class ChromiumOnSway : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!SwaySession::installed()) return;
    session = std::make_unique<SwaySession>();
    if (!session->failure().empty()) return;
    browser = std::make_unique<Chromium>(session->environment(), "file://" APPS_DIR "/page.html",
                                         800, 600);
  }
  static void TearDownTestSuite() {
    browser.reset();
    session.reset();
    takesInput = false;  // a repeated run starts another Chromium
  }

  void SetUp() override {
    if (!SwaySession::installed()) GTEST_SKIP() << "sway is not installed";
    ASSERT_EQ(session->failure(), "");
    if (!browser || !browser->available()) GTEST_SKIP() << "Chromium cannot be started here";
    // sway tiles Chromium's window beside the tests' receiver, which came first and has the
    // focus; sway's command gives it to Chromium.
    ASSERT_TRUE(eventually([] {
      if (browser->evaluate("document.hasFocus()") == true) return true;
      session->command("[app_id=\"^chrome\"] focus");
      return false;
    }));
    ASSERT_EQ(browser->evaluate("text.focus(); true"), true);
    // Chromium drops the first input after it takes the focus; the tests begin once it types.
    if (!takesInput) {
      ASSERT_TRUE(eventually([this] {
        type({"x"});
        return text().find('x') != std::string::npos;
      }));
      takesInput = true;
    }
    ASSERT_EQ(browser->evaluate("log.length = 0; text.value = ''; text.focus(); true"), true);
  }

  static void run(const std::string& input) {
    ProcessOptions options;
    options.setEnv = session->environment();
    options.unsetEnv = {"DISPLAY", "INPUT_AGENT_BACKEND"};
    const ProcessResult result = runProcess({AGENT}, input, options);
    EXPECT_EQ(result.exitStatus, 0);
  }
  static void type(const std::vector<std::string>& characters) {
    std::string input;
    for (const std::string& c : characters) input += R"({"cmd":"key","key":")" + c + "\"}\n";
    run(input);
  }
  static std::string text() { return browser->evaluate("text.value").get<std::string>(); }
  std::vector<std::string> log() {
    return browser->evaluate("log").get<std::vector<std::string>>();
  }

  static std::unique_ptr<SwaySession> session;
  static std::unique_ptr<Chromium> browser;
  static bool takesInput;
};
std::unique_ptr<SwaySession> ChromiumOnSway::session;
std::unique_ptr<Chromium> ChromiumOnSway::browser;
bool ChromiumOnSway::takesInput = false;

TEST_F(ChromiumOnSway, TypedCharactersArriveWholeAndPressNoKeyOfTheirOwn) {
  const std::vector<std::string> characters = {"é",  "ñ",  "ß", "€", "中", "東",
                                               "京", "个", "a", "Z", "@",  "~"};
  type(characters);
  std::string expected;
  for (const std::string& c : characters) expected += c;
  EXPECT_TRUE(eventually([&] { return text() == expected; })) << "[" << text() << "]";
  expectNoKeyIdentity(log());
}

// 200 distinct characters at full speed, each a new binding of the text keyboard's keymap.
TEST_F(ChromiumOnSway, TwoHundredDistinctCharactersAtFullSpeedArriveWhole) {
  std::vector<std::string> characters;
  std::string expected;
  for (char32_t c = 0x4E00; c < 0x4E00 + 200; ++c) {
    std::string utf8 = {static_cast<char>(0xE0 | (c >> 12)),
                        static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
                        static_cast<char>(0x80 | (c & 0x3F))};
    characters.push_back(utf8);
    expected += utf8;
  }
  type(characters);
  EXPECT_TRUE(eventually([&] { return text() == expected; })) << text().size() << " bytes";
  expectNoKeyIdentity(log());
}

// The wheel as Chromium reports it: the sum of the deltas of the wheel events a scroll makes.
double wheelSum(const nlohmann::json& wheels, int axis) {
  double sum = 0;
  for (const auto& wheel : wheels) sum += wheel[axis].get<double>();
  return sum;
}

TEST_F(ChromiumOnSway, TheWheelScrollsByNotchesOfTheSameSizeOnEveryAxisAndInSmallSteps) {
  const auto scroll = [this](const std::string& lines, int axis) {
    browser->evaluate("wheels = []");
    run("M 960 400\n" + lines);
    double sum = 0;
    // Chromium may merge wheel events; the sum settles once all have come.
    eventually([&] {
      const double now = wheelSum(browser->evaluate("wheels"), axis);
      const bool settled = now != 0 && now == sum;
      sum = now;
      return settled;
    });
    return sum;
  };
  const double notch = scroll("W 0 100\n", 1);
  ASSERT_GT(notch, 0);
  EXPECT_DOUBLE_EQ(scroll("W 0 -100\n", 1), -notch);
  EXPECT_DOUBLE_EQ(scroll("W 100 0\n", 0), notch);
  EXPECT_DOUBLE_EQ(scroll("W -100 0\n", 0), -notch);
  // Four scrolls of 30 pixels go as far as one of 120, within a fifth; two notches twice as far
  // as one.
  const double once = scroll("W 0 120\n", 1);
  const double inSteps = scroll("W 0 30\nW 0 30\nW 0 30\nW 0 30\n", 1);
  EXPECT_GE(inSteps, 0.8 * once);
  EXPECT_LE(inSteps, 1.25 * once);
  EXPECT_DOUBLE_EQ(scroll("W 0 200\n", 1), 2 * notch);
}

}  // namespace
