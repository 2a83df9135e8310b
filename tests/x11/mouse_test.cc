// input-agent on a real X server: JSON presses, drags, releases, double clicks and RESET.
#include "x11/x11_fixture.h"

namespace {

struct Seen {
  int type;
  unsigned button;  // ButtonPress/ButtonRelease
  unsigned state;   // the button masks held at the event
  int x, y;
  bool operator==(const Seen&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Seen& s) {
  return os << "{type " << s.type << " button " << s.button << " state 0x" << std::hex << s.state
            << std::dec << " at " << s.x << "," << s.y << "}";
}

constexpr unsigned kButtonMasks = Button1Mask | Button2Mask | Button3Mask;

class Mouse : public X11Test {
 protected:
  std::vector<Seen> seen(const std::string& input) {
    EXPECT_EQ(runAgent(input).exitStatus, 0);
    std::vector<Seen> out;
    for (const XEvent& e : drainEvents()) {
      if (e.type == ButtonPress || e.type == ButtonRelease) {
        out.push_back(
            {e.type, e.xbutton.button, e.xbutton.state & kButtonMasks, e.xbutton.x, e.xbutton.y});
      } else if (e.type == MotionNotify) {
        out.push_back({e.type, 0, e.xmotion.state & kButtonMasks, e.xmotion.x, e.xmotion.y});
      }
    }
    return out;
  }
};

TEST_F(Mouse, DragWithEachButton) {
  openWindow(ButtonPressMask | ButtonReleaseMask | PointerMotionMask);
  const struct {
    const char* name;
    unsigned button;
    unsigned mask;
  } buttons[] = {{"left", 1, Button1Mask}, {"middle", 2, Button2Mask}, {"right", 3, Button3Mask}};
  for (const auto& b : buttons) {
    const std::string name = b.name;
    const std::vector<Seen> events =
        seen("M 5 5\n{\"cmd\":\"down\",\"x\":10,\"y\":20,\"button\":\"" + name +
             "\"}\n{\"cmd\":\"move\",\"x\":30,\"y\":40}\n{\"cmd\":\"move\",\"x\":50,\"y\":60}\n"
             "{\"cmd\":\"up\",\"x\":70,\"y\":80,\"button\":\"" +
             name + "\"}\n");
    // The two moves come within a millisecond, so the first may be coalesced into the second;
    // the motion before the release never is.
    std::vector<Seen> kept;
    for (const Seen& e : events) {
      if (!(e.type == MotionNotify && e.x == 30 && e.y == 40)) kept.push_back(e);
    }
    const std::vector<Seen> expected = {
        {MotionNotify, 0, 0, 5, 5},
        {MotionNotify, 0, 0, 10, 20},
        {ButtonPress, b.button, 0, 10, 20},
        {MotionNotify, 0, b.mask, 50, 60},
        {MotionNotify, 0, b.mask, 70, 80},
        {ButtonRelease, b.button, b.mask, 70, 80},
    };
    EXPECT_EQ(kept, expected) << name;
    for (const Seen& e : events) {
      if (e.type == MotionNotify && e.x == 30) {
        EXPECT_EQ(e.state, b.mask) << name;
      }
    }
  }
}

TEST_F(Mouse, ResetReleasesAtTheLastPoint) {
  openWindow(ButtonPressMask | ButtonReleaseMask);
  const std::vector<Seen> events =
      seen("{\"cmd\":\"down\",\"x\":10,\"y\":20,\"button\":\"right\"}\nM 30 40\nRESET\n");
  const std::vector<Seen> expected = {{ButtonPress, 3, 0, 10, 20},
                                      {ButtonRelease, 3, Button3Mask, 30, 40}};
  EXPECT_EQ(events, expected);
}

TEST_F(Mouse, DoubleClickIsTwoClicksOfTheButton) {
  openWindow(ButtonPressMask | ButtonReleaseMask);
  const std::vector<Seen> events =
      seen("{\"cmd\":\"dblclick\",\"x\":100,\"y\":200,\"button\":\"right\"}\n");
  const std::vector<Seen> expected = {
      {ButtonPress, 3, 0, 100, 200},
      {ButtonRelease, 3, Button3Mask, 100, 200},
      {ButtonPress, 3, 0, 100, 200},
      {ButtonRelease, 3, Button3Mask, 100, 200},
  };
  EXPECT_EQ(events, expected);
}

}  // namespace
