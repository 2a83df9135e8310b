// The GNOME route: every event goes to mutter's remote desktop session. Motion is absolute in
// global coordinates, sent relative to the monitor's screen-cast stream; buttons are Linux
// button codes; a scroll is one continuous axis event of that many pixels on both axes. Not a
// discrete one as well: mutter makes a discrete step an event of its own (10 pixels and a
// notch), so a window would scroll twice, and a discrete step alone would lose the pixels. Keys are
// Linux input codes, modifiers are keys (key_chords.h). Text goes as keysyms, which mutter types
// with a key of its layout and the level's modifiers; a character without a key in the layout is
// refused by mutter, silently.
//
// The end of each line closes an open chord and writes every request to the bus. The route's end
// releases what the controller holds and stops the session, which returns once mutter has
// handled everything before it.
#include "platform/gnome/gnome_route.h"

#include <linux/input-event-codes.h>
#include <xkbcommon/xkbcommon-keysyms.h>
#include <xkbcommon/xkbcommon.h>

#include <cmath>

#include "platform/gnome/remote_desktop.h"
#include "platform/linux/event_parts.h"
#include "platform/linux/held_inputs.h"
#include "platform/linux/key_chords.h"
#include "platform/linux/linux_objects.h"

namespace {

class GnomeRoute final : public Route {
 public:
  explicit GnomeRoute(std::unique_ptr<RemoteDesktop> desktop) : desktop(std::move(desktop)) {}
  ~GnomeRoute() override {
    keys.releaseHeld(held);
    const std::vector<CGMouseButton> buttons = held.buttons();
    for (auto it = buttons.rbegin(); it != buttons.rend(); ++it) {
      desktop->button(linuxButton(*it), false);
    }
    desktop->flush();
  }

  void post(const CGEventOpaque& event) override {
    switch (event.eventClass) {
      case EventClass::mouse:
        keys.closeChord();
        // A coordinate that is not finite moves nothing; a press or release still happens.
        if (std::isfinite(event.point.x) && std::isfinite(event.point.y)) {
          desktop->moveTo(event.point);
        }
        if (const auto press = buttonPressOf(event.mouseType)) {
          desktop->button(linuxButton(event.button), *press);
          held.button(event.button, *press);
        }
        break;
      case EventClass::scroll:
        keys.closeChord();
        scroll(event.wheel1, event.wheel2);
        break;
      case EventClass::keyboard:
        if (event.text.empty()) {
          keys.pressKey(event.virtualKey, event.keyDown, event.flags, held);
        } else if (event.keyDown) {
          // The key-down types the whole string; its key-up has nothing left to do.
          keys.closeChord();
          for (char32_t scalar : scalarsOf(event.text)) type(scalar);
        }
        break;
    }
  }

  void deliver() override {
    keys.closeChord();
    desktop->flush();
  }

 private:
  // Wheel values are the negated pixel deltas.
  void scroll(std::int32_t wheel1, std::int32_t wheel2) {
    const std::int64_t down = -static_cast<std::int64_t>(wheel1);
    const std::int64_t right = -static_cast<std::int64_t>(wheel2);
    if (down == 0 && right == 0) return;
    desktop->axis(static_cast<double>(right), static_cast<double>(down));
  }

  void type(char32_t scalar) {
    xkb_keysym_t keysym = XKB_KEY_NoSymbol;
    if (scalar == U'\n' || scalar == U'\r') {
      keysym = XKB_KEY_Return;
    } else if (scalar == U'\t') {
      keysym = XKB_KEY_Tab;
    } else {
      keysym = xkb_utf32_to_keysym(scalar);
    }
    if (keysym == XKB_KEY_NoSymbol) return;
    desktop->keysym(keysym, true);
    desktop->keysym(keysym, false);
  }

  std::unique_ptr<RemoteDesktop> desktop;
  HeldInputs held;
  KeyChords keys{[this](std::uint32_t code, bool press) {
    if (code != 0) desktop->keycode(code, press);
  }};
};

}  // namespace

std::unique_ptr<Route> openGnomeRoute(bool forced) {
  auto desktop = RemoteDesktop::open(forced);
  if (!desktop) return nullptr;
  return std::make_unique<GnomeRoute>(std::move(desktop));
}
