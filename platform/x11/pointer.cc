// X11: pointer motion, buttons and scrolling through XTest.
//
// Motion goes to the nearest whole pixel, clamped to the screen; a coordinate that is not finite
// moves nothing. CoreGraphics buttons 0, 1, 2 (left, right, middle) are X buttons 1, 3, 2.
//
// Double clicks: the server stamps each event with its time in milliseconds when it processes
// it, and toolkits count a press as a second click only when its time is later than the first
// press's (Chromium takes an equal time as a new first click). The second press of a double
// click (click state 2) is therefore sent with XTest's delay of kSecondPressDelay, which the
// server waits out without holding up the agent. Presses sent apart by the controller are
// separate clicks or a double click by their own timing, as with a real mouse.
//
// Buttons pressed and not yet released are recorded (HeldInputs) and released when the source
// goes.
//
// Scrolling: X reports wheels as clicks of buttons 4 (up), 5 (down), 6 (left) and 7 (right), one
// click a notch. A scroll event carries pixels, so kPixelsPerNotch of them make one click, and
// what is left over is carried to the next event in the same direction on that axis, so that a
// stream of small deltas, as a trackpad sends, still scrolls. One event clicks at most
// kMaxNotchesPerEvent times; a larger value is cut there rather than flooding the server.
#include <X11/extensions/XTest.h>

#include <cmath>
#include <cstdlib>

#include "platform/x11/x11_objects.h"

namespace {

constexpr std::int64_t kPixelsPerNotch = 100;
constexpr std::int64_t kMaxNotchesPerEvent = 100;
constexpr unsigned long kSecondPressDelay = 5;  // milliseconds

int toPixel(double value, int size) {
  const double limit = size > 0 ? size - 1 : 0;
  return static_cast<int>(std::fmin(std::fmax(std::round(value), 0.0), limit));
}

void moveTo(X11Source& source, CGPoint point) {
  if (!std::isfinite(point.x) || !std::isfinite(point.y)) return;
  XTestFakeMotionEvent(source.live(), source.screen, toPixel(point.x, source.width),
                       toPixel(point.y, source.height), CurrentTime);
}

unsigned xButton(CGMouseButton button) {
  switch (button) {
    case kCGMouseButtonLeft:
      return Button1;
    case kCGMouseButtonRight:
      return Button3;
    case kCGMouseButtonCenter:
      return Button2;
    default:
      return 0;
  }
}

// Adds a wheel value to an axis's remainder and returns the whole notches it now holds, keeping
// the rest. A change of direction drops what was left of the other direction.
std::int64_t takeNotches(ScrollRemainder& remainder, std::int32_t wheel) {
  if ((wheel > 0 && remainder.pixels < 0) || (wheel < 0 && remainder.pixels > 0)) {
    remainder.pixels = 0;
  }
  remainder.pixels += wheel;
  const std::int64_t notches = remainder.pixels / kPixelsPerNotch;
  remainder.pixels -= notches * kPixelsPerNotch;
  if (std::llabs(notches) > kMaxNotchesPerEvent) {
    remainder.pixels = 0;
    return notches > 0 ? kMaxNotchesPerEvent : -kMaxNotchesPerEvent;
  }
  return notches;
}

void click(Display* display, unsigned button, std::int64_t times) {
  for (std::int64_t i = 0; i < times; ++i) {
    XTestFakeButtonEvent(display, button, True, CurrentTime);
    XTestFakeButtonEvent(display, button, False, CurrentTime);
  }
}

}  // namespace

void postMouseEvent(X11Source& source, const CGEventOpaque& event) {
  moveTo(source, event.point);
  bool press = false;
  switch (event.mouseType) {
    case kCGEventLeftMouseDown:
    case kCGEventRightMouseDown:
    case kCGEventOtherMouseDown:
      press = true;
      break;
    case kCGEventLeftMouseUp:
    case kCGEventRightMouseUp:
    case kCGEventOtherMouseUp:
      break;
    default:
      return;  // moved and dragged: the motion is all
  }
  if (const unsigned button = xButton(event.button)) {
    const unsigned long delay = press && event.clickState >= 2 ? kSecondPressDelay : CurrentTime;
    XTestFakeButtonEvent(source.live(), button, press ? True : False, delay);
    source.held.button(event.button, press);
  }
}

void releaseHeldButtons(X11Source& source) {
  Display* display = source.live();
  if (display == nullptr) return;
  const std::vector<CGMouseButton> buttons = source.held.buttons();
  for (auto it = buttons.rbegin(); it != buttons.rend(); ++it) {
    if (const unsigned button = xButton(*it)) XTestFakeButtonEvent(display, button, False, 0);
    source.held.button(*it, false);
  }
}

void postScrollEvent(X11Source& source, const CGEventOpaque& event) {
  // A positive wheel 1 scrolls up, a positive wheel 2 left.
  const std::int64_t vertical = takeNotches(source.vertical, event.wheel1);
  const std::int64_t horizontal = takeNotches(source.horizontal, event.wheel2);
  Display* display = source.live();
  click(display, vertical > 0 ? 4 : 5, std::llabs(vertical));
  click(display, horizontal > 0 ? 6 : 7, std::llabs(horizontal));
}
