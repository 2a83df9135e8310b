// The wlroots route: each event goes to the virtual pointer, the keys keyboard or, for Unicode
// text, the text keyboard. The end of each line closes an open chord, sends a held-back motion
// unless the next line is already waiting (virtual_pointer.h), sends everything and reads what
// the compositor has sent (output changes). The route's end releases what the controller holds,
// destroys its devices and waits until the compositor has processed everything, so that once
// the agent has exited all its events have taken effect.
#include "platform/wlroots/wlroots_route.h"

#include <poll.h>
#include <unistd.h>

#include <cmath>

#include "platform/linux/event_parts.h"
#include "platform/linux/held_inputs.h"
#include "platform/linux/linux_objects.h"
#include "platform/wlroots/text_keyboard.h"
#include "platform/wlroots/virtual_keyboard.h"
#include "platform/wlroots/virtual_pointer.h"
#include "platform/wlroots/wayland_connection.h"

namespace {

// Whether the agent's next input is already waiting on standard input.
bool inputWaiting() {
  pollfd input{STDIN_FILENO, POLLIN, 0};
  return poll(&input, 1, 0) > 0 && (input.revents & POLLIN) != 0;
}

class WlrootsRoute final : public Route {
 public:
  explicit WlrootsRoute(std::unique_ptr<WaylandConnection> connection)
      : connection(std::move(connection)),
        pointer(std::make_unique<VirtualPointer>(*this->connection)),
        keyboard(VirtualKeyboard::make(*this->connection)),
        text(std::make_unique<TextKeyboard>(*this->connection)) {
    this->connection->flush();
  }
  ~WlrootsRoute() override {
    pointer->flushMotion();
    if (keyboard) keyboard->releaseHeld(held);
    pointer->releaseHeld(held);
    text.reset();
    keyboard.reset();
    pointer.reset();
    connection->flush();
    connection->roundtrip();
  }

  void post(const CGEventOpaque& event) override {
    switch (event.eventClass) {
      case EventClass::mouse:
        if (keyboard) keyboard->endLine();
        // A coordinate that is not finite moves nothing; a press or release still happens.
        if (std::isfinite(event.point.x) && std::isfinite(event.point.y))
          pointer->move(event.point);
        if (const auto press = buttonPressOf(event.mouseType)) {
          pointer->button(event.button, *press, held);
        }
        break;
      case EventClass::scroll:
        if (keyboard) keyboard->endLine();
        pointer->scroll(event.wheel1, event.wheel2);
        break;
      case EventClass::keyboard:
        pointer->flushMotion();
        if (event.text.empty()) {
          if (keyboard) keyboard->pressKey(event.virtualKey, event.keyDown, event.flags, held);
        } else if (event.keyDown) {
          // The key-down types the whole string; its key-up has nothing left to do.
          if (keyboard) keyboard->endLine();
          text->type(scalarsOf(event.text));
        }
        break;
    }
  }

  void deliver() override {
    if (keyboard) keyboard->endLine();
    if (pointer->holdsMotion() && !inputWaiting()) pointer->flushMotion();
    connection->flush();
    connection->dispatchPending();
  }

 private:
  std::unique_ptr<WaylandConnection> connection;
  std::unique_ptr<VirtualPointer> pointer;
  std::unique_ptr<VirtualKeyboard> keyboard;
  std::unique_ptr<TextKeyboard> text;
  HeldInputs held;
};

}  // namespace

std::unique_ptr<Route> openWlrootsRoute(bool forced) {
  auto connection = WaylandConnection::open(forced);
  if (!connection) return nullptr;
  return std::make_unique<WlrootsRoute>(std::move(connection));
}
