// The GNOME route's device: every intent goes to mutter's remote desktop session. Motion is
// absolute in global coordinates, sent relative to the monitor's screen-cast stream; buttons are
// Linux button codes; a scroll is one continuous axis event on both axes of its share of notches
// at kContinuousNotchAxisValue a notch of 100 pixels (wayland/wheel_notch.h, which says how it
// was chosen), sent at once, so less than a notch scrolls its share. Not mutter's discrete steps:
// mutter sends one as an axis value of 10, two thirds of what GTK and Debian 12's Chromium scroll
// for a real notch. Keys are Linux
// input codes, and modifiers are keys too. Text goes as keysyms, which mutter types with a key of
// its layout and the level's modifiers; a character without a key in the layout is refused by
// mutter, silently.
//
// Delivering writes the requests of the line to the bus (a line that sent none costs nothing).
// The end stops the session, which returns once mutter has handled everything before it.
#include "platform/devices/gnome/gnome_route.h"

#include "platform/devices/gnome/remote_desktop.h"
#include "platform/devices/linux/linux_input.h"
#include "platform/devices/wayland/wheel_notch.h"

namespace {

class GnomeDevice final : public Device {
 public:
  explicit GnomeDevice(std::unique_ptr<RemoteDesktop> desktop) : desktop(std::move(desktop)) {}
  ~GnomeDevice() override { desktop->flush(); }

  // mutter stamps remote desktop input with its own time, and Xwayland X windows' events.
  bool buttonTimesStampedLater() const override { return true; }

  std::string capabilities() const override {
    // Appended piece by piece: GCC 12 warns (-Wrestrict, wrongly) about a literal + a string.
    std::string text = "absolute motion over ";
    text += std::to_string(desktop->monitors().size());
    text += " monitor(s):";
    for (const RemoteDesktop::Stream& stream : desktop->monitors()) {
      text += ' ';
      text += rectangleText(stream.x, stream.y, stream.width, stream.height);
      text += ';';
    }
    return text + " text: only the characters of mutter's layout, others are dropped";
  }
  void moveTo(CGPoint point) override { desktop->moveTo(point); }
  void button(CGMouseButton button, bool press, std::int64_t) override {
    desktop->button(linuxButton(button), press);
  }
  void scroll(const Scroll& scroll) override {
    constexpr double kPerPixel = kContinuousNotchAxisValue / 256.0 / 100;
    desktop->axis(static_cast<double>(scroll.horizontal.pixels) * kPerPixel,
                  static_cast<double>(scroll.vertical.pixels) * kPerPixel);
  }
  void key(const PhysicalKey& key, bool press) override { desktop->keycode(key.linuxCode, press); }
  void text(std::u32string_view scalars) override {
    for (const char32_t scalar : scalars) {
      const std::uint32_t keysym = keysymForScalar(scalar);
      if (keysym == 0) continue;
      desktop->keysym(keysym, true);
      desktop->keysym(keysym, false);
    }
  }
  void deliver() override { desktop->flush(); }

 private:
  std::unique_ptr<RemoteDesktop> desktop;
};

}  // namespace

std::unique_ptr<Device> openGnomeRoute(bool forced, std::string& whyNot) {
  auto desktop = RemoteDesktop::open(forced, whyNot);
  if (!desktop) return nullptr;
  return std::make_unique<GnomeDevice>(std::move(desktop));
}
