// The X11 route's device: pointer, buttons, wheel and keys through XTest, text through spare
// keycodes (text_typing.h).
//
// - Motion goes to the nearest whole pixel, clamped to the screen.
// - CoreGraphics buttons 0, 1, 2 (left, right, middle) are X buttons 1, 3, 2.
// - Double clicks: the server stamps each event with its time in milliseconds when it processes
//   it, and toolkits count a press as a second click only when its time is later than the first
//   press's (Chromium takes an equal time as a new first click). The second press of a double
//   click (click state 2) is therefore sent with XTest's delay of kSecondPressDelay, which the
//   server waits out without holding up the agent. Presses sent apart by the controller are
//   separate clicks or a double click by their own timing, as with a real mouse.
// - Scrolling: X reports wheels as clicks of buttons 4 (up), 5 (down), 6 (left) and 7 (right),
//   one click a notch; the policy says how many notches a scroll completes.
// - Keys are the server's keycodes of the key table's rows (keycodes.h).
// The end puts back the keycodes text bound and waits until the server has processed every
// request, so that whoever waits for the agent to end knows its events have taken effect.
#include "platform/devices/x11/x11_route.h"

#include <X11/extensions/XTest.h>

#include <cmath>
#include <cstdlib>

#include "platform/devices/x11/keycodes.h"
#include "platform/devices/x11/text_typing.h"
#include "platform/devices/x11/x11_connection.h"

namespace {

constexpr unsigned long kSecondPressDelay = 5;  // milliseconds

int toPixel(double value, int size) {
  const double limit = size > 0 ? size - 1 : 0;
  return static_cast<int>(std::fmin(std::fmax(std::round(value), 0.0), limit));
}

unsigned xButton(CGMouseButton button) {
  switch (button) {
    case kCGMouseButtonLeft:
      return Button1;
    case kCGMouseButtonRight:
      return Button3;
    case kCGMouseButtonCenter:
      return Button2;
  }
  return 0;
}

class X11Device final : public Device {
 public:
  explicit X11Device(std::unique_ptr<X11Connection> connection)
      : connection(std::move(connection)),
        keycodes(resolveKeycodes(this->connection->live())),
        typer(this->connection->live(), keycodesInUse(keycodes)) {}
  ~X11Device() override {
    typer.restore();
    if (Display* display = connection->live()) XSync(display, False);
  }

  void moveTo(CGPoint point) override {
    if (Display* display = connection->live()) {
      XTestFakeMotionEvent(display, connection->screen(), toPixel(point.x, connection->width()),
                           toPixel(point.y, connection->height()), CurrentTime);
    }
  }

  void button(CGMouseButton button, bool press, std::int64_t clickState) override {
    Display* display = connection->live();
    const unsigned number = xButton(button);
    if (display == nullptr || number == 0) return;
    const unsigned long delay = press && clickState >= 2 ? kSecondPressDelay : CurrentTime;
    XTestFakeButtonEvent(display, number, press ? True : False, delay);
  }

  void scroll(const Scroll& scroll) override {
    click(scroll.vertical.notches < 0 ? 4 : 5, std::llabs(scroll.vertical.notches));
    click(scroll.horizontal.notches < 0 ? 6 : 7, std::llabs(scroll.horizontal.notches));
  }

  void key(const PhysicalKey& key, bool press) override {
    Display* display = connection->live();
    const KeyCode keycode = keycodes[rowOf(key)];
    if (display == nullptr || keycode == 0) return;
    XTestFakeKeyEvent(display, keycode, press ? True : False, CurrentTime);
  }

  void text(std::u32string_view scalars) override {
    if (connection->live() != nullptr) typer.type(scalars);
  }

  void deliver() override { connection->flush(); }

 private:
  void click(unsigned button, std::int64_t times) {
    Display* display = connection->live();
    for (std::int64_t i = 0; display != nullptr && i < times; ++i) {
      XTestFakeButtonEvent(display, button, True, CurrentTime);
      XTestFakeButtonEvent(display, button, False, CurrentTime);
    }
  }

  std::unique_ptr<X11Connection> connection;
  KeycodeTable keycodes;
  TextTyper typer;
};

}  // namespace

std::unique_ptr<Device> openX11Route(bool, std::string& whyNot) {
  auto connection = X11Connection::open(whyNot);
  if (!connection) return nullptr;
  return std::make_unique<X11Device>(std::move(connection));
}
