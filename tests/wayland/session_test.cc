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
  } cases[] = {
      {"both: Wayland first", true, true, nullptr, true, false},
      {"X11 without Wayland", false, true, nullptr, false, true},
      {"x11 forced", true, true, "x11", false, true},
      {"wlroots forced", true, true, "wlroots", true, false},
      {"an unknown route: none", true, true, "uinput", false, false},
      {"an empty value: none", true, true, "", false, false},
      {"a forced route that cannot run: none", false, true, "wlroots", false, false},
      {"neither: none", false, false, nullptr, false, false},
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
  }
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
