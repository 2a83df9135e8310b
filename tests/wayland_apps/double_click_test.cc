// Double clicks in real applications natively on Wayland, on every compositor route (sway, KWin,
// mutter): two clicks at one spot in one burst (four button lines written at once, as a
// controller forwards a person's quick double click) are one double click, and two clicks a
// second apart are two clicks, in GTK 3 and Qt 5 (tests/apps/click_counter.py) and in Chromium
// (the pad of tests/apps/page.html), each full screen, and in Chromium as an X window under
// sway's Xwayland. KWin and mutter stamp each button event with their own clock when they handle
// it, and Xwayland stamps X windows' events itself; the toolkits count a double click from those
// times. The bursts go to one agent that runs for the whole case, as a controller's does.
//
// The whole file runs as one test process; the compositors take turns.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <type_traits>
#include <utility>
#include <vector>

#include "apps/chromium.h"
#include "apps/click_counter.h"
#include "support/eventually.h"
#include "support/kwin_session.h"
#include "support/mutter_session.h"
#include "support/run_process.h"
#include "support/sway_session.h"

namespace {

using namespace std::chrono_literals;
using Environment = std::vector<std::pair<std::string, std::string>>;

struct Point {
  int x, y;
};

// A click (press and release) at the point.
std::string clickAt(Point point) {
  const std::string at =
      "\"x\":" + std::to_string(point.x) + ",\"y\":" + std::to_string(point.y) + "}\n";
  return "{\"cmd\":\"down\"," + at + "{\"cmd\":\"up\"," + at;
}

// A window that says how its toolkit counted the presses since the last clear(): "press" for
// each press, "double" for each it took for a double click's second.
class Counter {
 public:
  virtual ~Counter() = default;
  virtual bool ready() = 0;
  virtual std::vector<std::string> presses() = 0;
  virtual void clear() = 0;
  virtual std::string name() const = 0;
  // Where the clicks go: the middle of the output (on mutter 48 a full-screen GTK 3 window got
  // no pointer event at 300,300, and every one at the middle).
  virtual Point point() const { return {640, 400}; }
};

// GTK 3 or Qt 5: tests/apps/click_counter.py.
class ToolkitCounter final : public Counter {
 public:
  ToolkitCounter(const std::string& toolkit, const Environment& environment)
      : counter(toolkit, true, [&] {
          ProcessOptions options;
          options.setEnv = environment;
          return options;
        }()) {}

  bool ready() override { return counter.ready(); }
  std::vector<std::string> presses() override { return counter.presses(); }
  void clear() override { counter.clear(); }
  std::string name() const override { return counter.name(); }

 private:
  ClickCounter counter;
};

// Chromium: the pad's mousedown events, "press" for detail 1 and "double" for detail 2.
class ChromiumCounter final : public Counter {
 public:
  // Natively on Wayland, full screen.
  explicit ChromiumCounter(const Environment& environment)
      : browser(environment, "file://" APPS_DIR "/page.html", 800, 600, true) {}
  // As an X window on the display named (Xwayland's).
  explicit ChromiumCounter(const std::string& display)
      : browser(display, "file://" APPS_DIR "/page.html", 800, 600) {}

  bool ready() override { return browser.available(); }
  std::vector<std::string> presses() override {
    std::vector<std::string> presses;
    const nlohmann::json log = browser.evaluate("log");
    if (!log.is_array()) return presses;
    for (const auto& entry : log) {
      if (entry == "mousedown 0 1") presses.push_back("press");
      if (entry == "mousedown 0 2") presses.push_back("double");
    }
    return presses;
  }
  void clear() override { browser.evaluate("log.length = 0"); }
  std::string name() const override { return "Chromium"; }
  // On the pad, whether the page starts at the top of the output or below a bar of Chromium's.
  Point point() const override { return {300, 300}; }

 private:
  Chromium browser;
};

class Compositor {
 public:
  virtual ~Compositor() = default;
  virtual std::string failure() const = 0;
  virtual Environment environment() const = 0;
  virtual std::string name() const = 0;

  void agent(const std::string& lines) {
    const ProcessResult result = runProcess({AGENT}, lines, agentOptions());
    EXPECT_EQ(result.exitStatus, 0) << result.err;
  }
  ProcessOptions agentOptions() const {
    ProcessOptions options;
    options.setEnv = environment();
    options.unsetEnv = {"DISPLAY", "INPUT_AGENT_BACKEND"};
    return options;
  }
};

template <typename Session>
class In final : public Compositor {
 public:
  template <typename... Arguments>
  explicit In(const char* name, Arguments&&... arguments)
      : session(std::forward<Arguments>(arguments)...), name_(name) {}
  Session session;
  std::string failure() const override { return session.failure(); }
  Environment environment() const override { return session.environment(); }
  std::string name() const override { return name_; }

 private:
  const char* name_;
};

std::string joined(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& line : lines) out += (out.empty() ? "" : " ") + line;
  return out;
}

void checkCounter(Compositor& compositor, Counter& counter) {
  const std::string what = compositor.name() + ", " + counter.name();
  const std::string click = clickAt(counter.point());
  ASSERT_TRUE(counter.ready()) << what << ": did not start";
  // Clicks until one arrives: the window has the pointer and takes clicks.
  ASSERT_TRUE(eventually(
      [&] {
        compositor.agent("M " + std::to_string(counter.point().x) + " " +
                         std::to_string(counter.point().y) + "\n" + click);
        return !counter.presses().empty();
      },
      15s))
      << what << ": no click arrived";
  // More than twice any double-click time (GTK counts a third press within twice its time of a
  // double click as a triple click) between the cases.
  const auto apart = [&] {
    std::this_thread::sleep_for(1s);
    counter.clear();
  };

  // One agent for both cases, as a controller runs one for its session.
  RunningProcess agent({AGENT}, compositor.agentOptions());
  ASSERT_TRUE(agent.waitForOut("READY\n"));
  std::vector<std::string> presses;
  for (int burst = 0; burst < 3; ++burst) {
    apart();
    ASSERT_TRUE(agent.write(click + click));
    EXPECT_TRUE(eventually([&] {
      presses = counter.presses();
      return std::count(presses.begin(), presses.end(), "double") > 0;
    })) << what
        << ", two clicks in one burst (" << burst << "): " << joined(presses);
    std::printf("%s, two clicks in one burst: %s\n", what.c_str(), joined(presses).c_str());
  }

  apart();
  ASSERT_TRUE(agent.write(click));
  std::this_thread::sleep_for(1s);
  ASSERT_TRUE(agent.write(click));
  EXPECT_EQ(agent.finish().exitStatus, 0);
  EXPECT_TRUE(eventually([&] { return counter.presses().size() >= 2; }))
      << what << ", two clicks a second apart: " << joined(counter.presses());
  std::this_thread::sleep_for(200ms);
  presses = counter.presses();
  EXPECT_EQ(std::count(presses.begin(), presses.end(), "double"), 0)
      << what << ", two clicks a second apart: " << joined(presses);
}

template <typename Session>
void checkCompositor(const char* name) {
  In<Session> compositor(name);
  ASSERT_EQ(compositor.failure(), "");
  // On sway the windows to measure open away from the receiver window.
  if constexpr (std::is_same_v<Session, SwaySession>) {
    ASSERT_TRUE(compositor.session.useEmptyWorkspace());
  }
  // Chromium first: after a GTK window has come and gone, Chromium may not load its page.
  if (std::filesystem::exists("/usr/bin/chromium")) {
    ChromiumCounter chromium(compositor.environment());
    checkCounter(compositor, chromium);
  }
  for (const char* toolkit : {"gtk", "qt"}) {
    if (!ClickCounter::installed(toolkit, true)) {
      std::printf("%s: not installed, skipped\n", toolkit);
      continue;
    }
    ToolkitCounter counter(toolkit, compositor.environment());
    checkCounter(compositor, counter);
  }
}

TEST(DoubleClick, OnSway) {
  if (!SwaySession::installed()) GTEST_SKIP() << "sway is not installed";
  checkCompositor<SwaySession>("sway");
}

// Chromium as an X window under sway's Xwayland, the only window there (sway gives it the
// output): Xwayland stamps X events with its own clock whatever time the agent gives, and without
// the agent's spacing of presses three bursts in four arrived as two first clicks.
TEST(DoubleClick, OnSwayInAnXWindow) {
  if (!SwaySession::installed() || !std::filesystem::exists("/usr/bin/Xwayland") ||
      !std::filesystem::exists("/usr/bin/chromium")) {
    GTEST_SKIP() << "sway, Xwayland or Chromium is not installed";
  }
  In<SwaySession> compositor("sway, Xwayland", std::vector<SessionOutput>{{1280, 800, 0, 0}},
                             WAYLAND_X_DOOR);
  ASSERT_EQ(compositor.failure(), "");
  const std::string out = compositor.session.xOutput();
  ASSERT_TRUE(out.starts_with("display ")) << out;
  ChromiumCounter chromium(out.substr(8, out.find('\n') - 8));
  checkCounter(compositor, chromium);
}

TEST(DoubleClick, OnKWin) {
  if (!KWinSession::installed()) GTEST_SKIP() << "KWin is not installed";
  checkCompositor<KWinSession>("KWin");
}

TEST(DoubleClick, OnMutter) {
  if (!MutterSession::installed()) GTEST_SKIP() << "mutter is not installed";
  checkCompositor<MutterSession>("mutter");
}

}  // namespace
