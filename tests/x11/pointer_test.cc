// input-agent on a real X server: fast path motion and scrolling.
#include "x11/x11_fixture.h"

namespace {

struct PointerPosition {
  int x, y;
};

PointerPosition queryPointer(Display* d) {
  Window root, child;
  int rootX = -1, rootY = -1, winX, winY;
  unsigned mask;
  XQueryPointer(d, DefaultRootWindow(d), &root, &child, &rootX, &rootY, &winX, &winY, &mask);
  return {rootX, rootY};
}

using FastPathPointer = X11Test;

TEST_F(FastPathPointer, MoveLinesPlaceThePointer) {
  const struct {
    std::string input;
    int x, y;
  } cases[] = {
      {"M 640 360\n", 640, 360},      {"M 10.4 20.6\n", 10, 21},  // nearest whole pixel
      {"M -50 99999\n", 0, 719},                                  // clamped to the screen
      {"M 30 40\nM nan 5\n", 30, 40},                             // not finite: no motion
      {"M 70 80\nM 1 2 3\n", 70, 80},                             // dropped line
  };
  for (const auto& c : cases) {
    const ProcessResult result = runAgent(c.input);
    EXPECT_EQ(result.out, "READY\n");
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.exitStatus, 0);
    const PointerPosition p = queryPointer(display.get());
    EXPECT_EQ(p.x, c.x) << c.input;
    EXPECT_EQ(p.y, c.y) << c.input;
  }
}

TEST_F(FastPathPointer, WheelLinesArriveAsButtonClicks) {
  openWindow(ButtonPressMask | ButtonReleaseMask);
  const struct {
    std::string input;
    std::vector<unsigned> buttons;  // pressed, in order
  } cases[] = {
      {"W 0 100\n", {5}},
      {"W 0 -100\n", {4}},
      {"W 100 0\n", {7}},
      {"W -100 0\n", {6}},
      {"W 0 250\n", {5, 5}},
      {"W 0 50\nW 0 50\n", {5}},            // remainders add up
      {"W 0 60\nW 0 -60\nW 0 -60\n", {4}},  // a change of direction drops the remainder
      {"W 0 -2147483647\n", std::vector<unsigned>(100, 4)},  // cut at 100 notches
  };
  for (const auto& c : cases) {
    ASSERT_EQ(runAgent("M 100 100\n" + c.input).exitStatus, 0);
    std::vector<unsigned> pressed;
    for (const XEvent& e : drainEvents()) {
      if (e.type == ButtonPress) pressed.push_back(e.xbutton.button);
    }
    EXPECT_EQ(pressed, c.buttons) << c.input;
  }
}

}  // namespace
