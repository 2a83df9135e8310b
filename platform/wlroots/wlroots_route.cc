// The wlroots route: the Route calls on the connection's virtual pointer and keyboard. At its end
// it releases what they hold, destroys both devices and waits until the compositor has processed
// everything, so that once the agent has exited all its events have taken effect.
#include "platform/wlroots/wlroots_route.h"

#include "platform/wlroots/virtual_keyboard.h"
#include "platform/wlroots/virtual_pointer.h"
#include "platform/wlroots/wayland_connection.h"

namespace {

class WlrootsRoute final : public Route {
 public:
  explicit WlrootsRoute(std::unique_ptr<WaylandConnection> connection)
      : connection(std::move(connection)),
        pointer(std::make_unique<VirtualPointer>(*this->connection)),
        keyboard(VirtualKeyboard::make(*this->connection)) {
    // Sway adds a new device to its seat only once it has handled all requests at hand, and
    // drops the events of a device not yet added: the first events wait until it has.
    this->connection->roundtrip();
  }
  ~WlrootsRoute() override {
    keyboard.reset();
    pointer.reset();
    connection->flush();
    connection->roundtrip();
  }

  void movePointer(CGPoint point) override { pointer->move(point); }
  void pressButton(CGMouseButton button, bool press) override { pointer->button(button, press); }
  void scroll(std::int32_t wheel1, std::int32_t wheel2) override {
    pointer->scroll(wheel1, wheel2);
  }
  void pressKey(CGKeyCode virtualKey, bool down, CGEventFlags flags) override {
    if (keyboard) keyboard->pressKey(virtualKey, down, flags);
  }
  void typeText(std::u32string_view text) override {
    if (keyboard) keyboard->typeText(text);
  }
  void deliver() override {
    connection->flush();
    connection->dispatchPending();
  }

 private:
  std::unique_ptr<WaylandConnection> connection;
  std::unique_ptr<VirtualPointer> pointer;
  std::unique_ptr<VirtualKeyboard> keyboard;
};

}  // namespace

std::unique_ptr<Route> openWlrootsRoute(bool forced) {
  auto connection = WaylandConnection::open(forced);
  if (!connection) return nullptr;
  return std::make_unique<WlrootsRoute>(std::move(connection));
}
