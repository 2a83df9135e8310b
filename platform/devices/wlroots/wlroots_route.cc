// The wlroots route's device: motion, buttons and scrolling go to the virtual pointer, keys to
// the keys keyboard, Unicode text to the text keyboard. Delivering sends everything and reads
// what the compositor has sent (output changes). The end destroys the devices and waits until the
// compositor has processed everything, so that once the agent has exited all its events have
// taken effect.
#include "platform/devices/wlroots/wlroots_route.h"

#include "platform/devices/linux/linux_input.h"
#include "platform/devices/wlroots/text_keyboard.h"
#include "platform/devices/wlroots/virtual_keyboard.h"
#include "platform/devices/wlroots/virtual_pointer.h"
#include "platform/devices/wlroots/wayland_connection.h"

namespace {

class WlrootsDevice final : public Device {
 public:
  explicit WlrootsDevice(std::unique_ptr<WaylandConnection> connection)
      : connection(std::move(connection)),
        pointer(std::make_unique<VirtualPointer>(*this->connection)),
        keyboard(VirtualKeyboard::make(*this->connection)),
        typist(std::make_unique<TextKeyboard>(*this->connection)) {
    this->connection->compositor().flush();
  }
  ~WlrootsDevice() override {
    typist.reset();
    keyboard.reset();
    pointer.reset();
    connection->compositor().flush();
    connection->compositor().roundtrip();
  }

  std::string capabilities() const override {
    // Appended piece by piece: GCC 12 warns (-Wrestrict, wrongly) about a literal + a string.
    std::string text = "absolute motion over the layout of ";
    text += std::to_string(connection->outputs().size());
    text += " output(s):";
    for (const OutputRect& output : connection->outputs()) {
      text += ' ';
      text += rectangleText(output.x, output.y, output.width, output.height);
      text += ';';
    }
    return text + " text: any Unicode character (a keymap of the agent's own)";
  }
  // The agent's own times reach Wayland windows, but Xwayland stamps X windows' events itself.
  bool buttonTimesStampedLater() const override { return true; }
  void moveTo(CGPoint point) override { pointer->move(point); }
  void button(CGMouseButton button, bool press, std::int64_t) override {
    pointer->button(button, press);
  }
  void scroll(const Scroll& scroll) override { pointer->scroll(scroll); }
  void key(const PhysicalKey& key, bool press) override {
    if (keyboard) keyboard->key(key.linuxCode, press);
  }
  void text(std::u32string_view scalars) override { typist->type(scalars); }
  void deliver() override { connection->compositor().deliver(); }

 private:
  std::unique_ptr<WaylandConnection> connection;
  std::unique_ptr<VirtualPointer> pointer;
  std::unique_ptr<VirtualKeyboard> keyboard;
  std::unique_ptr<TextKeyboard> typist;
};

}  // namespace

std::unique_ptr<Device> openWlrootsRoute(bool forced, std::string& whyNot) {
  auto connection = WaylandConnection::open(forced, whyNot);
  if (!connection) return nullptr;
  return std::make_unique<WlrootsDevice>(std::move(connection));
}
