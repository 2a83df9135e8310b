// The wlroots route as a process: what the agent holds is released however it ends, the route is
// chosen from the environment (Wayland first, then X11, else none), and a compositor that goes
// away ends nothing.
#include <signal.h>

#include "support/route_cases.h"
#include "support/xvfb.h"
#include "wayland/wayland_fixture.h"

// Xlib's macros break gtest's headers, so it comes after them.
#include <X11/Xlib.h>

namespace {

using Session = WaylandTest;

TEST_F(Session, HeldKeysAndButtonsAreReleasedHoweverTheAgentEnds) {
  expectHeldInputsReleasedOnEveryEnd(session->receiver(), agentOptions());
}

// Where the pointer of an X display is.
std::pair<int, int> xPointer(const std::string& display) {
  Display* d = XOpenDisplay(display.c_str());
  if (d == nullptr) return {-1, -1};
  Window root, child;
  int x = -1, y = -1, wx, wy;
  unsigned mask;
  XQueryPointer(d, DefaultRootWindow(d), &root, &child, &x, &y, &wx, &wy, &mask);
  XCloseDisplay(d);
  return {x, y};
}

TEST_F(Session, TheRouteIsChosenFromTheEnvironment) {
  Xvfb xvfb;
  ASSERT_TRUE(xvfb.available());
  const auto wayland = session->environment();
  const struct {
    const char* name;
    bool waylandDisplay;
    bool xDisplay;
    const char* backend;  // INPUT_AGENT_BACKEND, or null
    bool reachesWayland;
    bool reachesX;
    const char* probed;  // the route --probe names, or null
  } cases[] = {
      {"both: Wayland first", true, true, nullptr, true, false, "wlroots"},
      {"X11 without Wayland", false, true, nullptr, false, true, "x11"},
      {"x11 forced", true, true, "x11", false, true, "x11"},
      {"wlroots forced", true, true, "wlroots", true, false, "wlroots"},
      {"an unknown route: none", true, true, "uinput", false, false, nullptr},
      {"an empty value: none", true, true, "", false, false, nullptr},
      {"a forced route that cannot run: none", false, true, "wlroots", false, false, nullptr},
      {"neither: none", false, false, nullptr, false, false, nullptr},
  };
  int step = 0;
  for (const auto& c : cases) {
    ++step;
    ProcessOptions options;
    options.unsetEnv = {"DISPLAY", "WAYLAND_DISPLAY", "WAYLAND_SOCKET", "INPUT_AGENT_BACKEND",
                        "XDG_RUNTIME_DIR"};
    if (c.waylandDisplay) options.setEnv = wayland;
    if (c.xDisplay) options.setEnv.emplace_back("DISPLAY", xvfb.display());
    if (c.backend != nullptr) options.setEnv.emplace_back("INPUT_AGENT_BACKEND", c.backend);
    const std::size_t from = session->receiver().out().size();
    const int x = 100 + step, y = 200 + step;
    const std::string move = "M " + std::to_string(x) + " " + std::to_string(y) + "\n";
    const ProcessResult result = runProcess({AGENT}, move + "QUIT\n", options);
    EXPECT_EQ(result.exitStatus, 0) << c.name;
    EXPECT_EQ(result.out, "READY\n") << c.name;
    EXPECT_EQ(result.err, "") << c.name;

    const std::string motion = "motion " + std::to_string(x) + " " + std::to_string(y);
    // A motion the receiver has not seen after this long has not come.
    const bool seen = waitForLine(
        from, [&](const std::string& l) { return l == motion; }, c.reachesWayland ? 5000 : 300);
    EXPECT_EQ(seen, c.reachesWayland) << c.name;
    EXPECT_EQ(xPointer(xvfb.display()) == std::make_pair(x, y), c.reachesX) << c.name;

    // --probe says the same, and posts nothing.
    const Probe probe = probeWith(options);
    EXPECT_EQ(probe.status, c.probed != nullptr ? 0 : 1) << c.name;
    EXPECT_EQ(probe.found["route"], c.probed != nullptr ? nlohmann::json(c.probed) : nullptr)
        << c.name;
  }
}

// What --probe says of each route, in words a person can act on.
TEST_F(Session, TheProbeSaysWhyEachRouteWasPassedOverAndWhatTheOneTakenCanDo) {
  Xvfb xvfb;
  ASSERT_TRUE(xvfb.available());
  ProcessOptions options;
  options.unsetEnv = {"WAYLAND_DISPLAY", "WAYLAND_SOCKET", "INPUT_AGENT_BACKEND"};
  options.setEnv = {{"DISPLAY", xvfb.display()}};
  Probe probe = probeWith(options);
  EXPECT_EQ(probeReason(probe, "wlroots"), "no Wayland session: WAYLAND_DISPLAY is not set");
  ASSERT_EQ(probe.found["tried"].size(), 4u);
  EXPECT_THAT(probe.found["tried"][3].value("can", ""),
              testing::StartsWith("absolute motion over one screen of "));

  options.setEnv = {{"DISPLAY", ":9999"}};
  probe = probeWith(options);
  EXPECT_EQ(probe.status, 1);
  EXPECT_EQ(probeReason(probe, "x11"), "the X display DISPLAY names (:9999) does not answer");

  probe = probeWith(agentOptions());
  EXPECT_EQ(probe.found["route"], "wlroots");
  EXPECT_THAT(probe.found["tried"][0].value("can", ""),
              testing::HasSubstr("absolute motion over the layout of 1 output(s): "));

  // Readable lines for a person, with the same findings.
  const ProcessResult text = runProcess({AGENT, "--probe"}, "", agentOptions());
  EXPECT_EQ(text.exitStatus, 0);
  EXPECT_THAT(text.out, testing::StartsWith("wlroots  taken: absolute motion over the layout"));
}

TEST_F(Session, ACompositorThatGoesEndsNothing) {
  RunningProcess agent({AGENT}, agentOptions());
  ASSERT_TRUE(agent.waitForOut("READY\n"));
  agent.write("M 10 10\n{\"cmd\":\"key\",\"code\":\"KeyA\",\"action\":\"down\"}\n");
  session->killCompositor();
  agent.write(
      "M 20 20\n{\"cmd\":\"key\",\"key\":\"é\"}\nW 0 100\n{\"cmd\":\"dblclick\",\"x\":1,\"y\":1}\n"
      "QUIT\n");
  const ProcessResult result = agent.finish();
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.out, "READY\n");
  EXPECT_EQ(result.err, "");
}

}  // namespace
