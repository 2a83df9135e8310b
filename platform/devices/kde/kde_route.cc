// The KDE route's device: every intent goes to KWin's fake input. Motion is absolute in KWin's
// global coordinates; buttons are Linux button codes; keys are Linux input codes of KWin's own
// keymap, and modifiers are keys too, whose presses change KWin's modifier state. Text is typed
// with the keys of the active layout (layout_text.h); characters it lacks are dropped.
//
// Scrolling: fake input has no discrete steps, so each scroll is one axis request per axis
// (positive down and right) of its share of notches at kContinuousNotchAxisValue a notch of 100
// pixels (wayland/wheel_notch.h, which says how it was chosen), sent at once; the policy carries
// what a wl_fixed_t cannot hold. KWin hands the value on as a continuous axis event, which GTK
// and Chromium scroll by in proportion, so less than a notch scrolls its share.
//
// The end waits until KWin has processed everything, so that once the agent has exited all its
// events have taken effect.
#include "platform/devices/kde/kde_route.h"

#include <algorithm>
#include <optional>

#include "platform/devices/kde/kde_connection.h"
#include "platform/devices/kde/layout_text.h"
#include "platform/devices/linux/linux_input.h"
#include "platform/devices/wayland/wheel_notch.h"

namespace {

// The largest magnitude a Wayland fixed-point number holds.
constexpr double kFixedLimit = 8388607.0;

class KdeDevice final : public Device {
 public:
  explicit KdeDevice(std::unique_ptr<KdeConnection> connection)
      : connection(std::move(connection)), layout(this->connection->seatKeymap()) {
    this->connection->compositor().flush();
  }
  ~KdeDevice() override {
    connection->compositor().flush();
    connection->compositor().roundtrip();
  }

  int scrollUnitsPerNotch() const override { return kContinuousNotchAxisValue; }
  // KWin stamps fake input with its own time, and Xwayland X windows' events.
  bool buttonTimesStampedLater() const override { return true; }

  std::string capabilities() const override {
    return "absolute motion in KWin's global coordinates; text: only the characters of the "
           "seat's layout (" +
           layout.name() + "), others are dropped";
  }

  void moveTo(CGPoint point) override {
    if (!connection->live()) return;
    org_kde_kwin_fake_input_pointer_motion_absolute(
        connection->fakeInput(),
        wl_fixed_from_double(std::clamp(point.x, -kFixedLimit, kFixedLimit)),
        wl_fixed_from_double(std::clamp(point.y, -kFixedLimit, kFixedLimit)));
  }

  void button(CGMouseButton button, bool press, std::int64_t) override {
    if (!connection->live()) return;
    org_kde_kwin_fake_input_button(
        connection->fakeInput(), linuxButton(button),
        press ? WL_POINTER_BUTTON_STATE_PRESSED : WL_POINTER_BUTTON_STATE_RELEASED);
  }

  void scroll(const Scroll& scroll) override {
    sendAxis(WL_POINTER_AXIS_VERTICAL_SCROLL, scroll.vertical.units);
    sendAxis(WL_POINTER_AXIS_HORIZONTAL_SCROLL, scroll.horizontal.units);
  }

  void key(const PhysicalKey& key, bool press) override { sendKey(key.linuxCode, press); }

  // Each character: its key with the modifiers its level needs. Modifier keys that the
  // controller holds stay as they are, and change what the character types, as on a keyboard.
  void text(std::u32string_view scalars) override {
    for (const char32_t scalar : scalars) {
      const std::optional<LayoutKey> key = layout.find(scalar);
      if (!key) continue;
      for (std::uint32_t modifier : key->modifiers) sendKey(modifier, true);
      sendKey(key->linuxCode, true);
      sendKey(key->linuxCode, false);
      for (auto it = key->modifiers.rbegin(); it != key->modifiers.rend(); ++it) {
        sendKey(*it, false);
      }
    }
  }

  void deliver() override { connection->compositor().deliver(); }

 private:
  // `units` are a wl_fixed_t's raw number; a scroll's are at most a few hundred thousand.
  void sendAxis(std::uint32_t axis, std::int64_t units) {
    if (units == 0 || !connection->live()) return;
    org_kde_kwin_fake_input_axis(connection->fakeInput(), axis, static_cast<wl_fixed_t>(units));
  }

  void sendKey(std::uint32_t linuxCode, bool press) {
    if (linuxCode == 0 || !connection->live()) return;
    org_kde_kwin_fake_input_keyboard_key(
        connection->fakeInput(), linuxCode,
        press ? WL_KEYBOARD_KEY_STATE_PRESSED : WL_KEYBOARD_KEY_STATE_RELEASED);
  }

  std::unique_ptr<KdeConnection> connection;
  LayoutText layout;
};

}  // namespace

std::unique_ptr<Device> openKdeRoute(bool forced, std::string& whyNot) {
  auto connection = KdeConnection::open(forced, whyNot);
  if (!connection) return nullptr;
  return std::make_unique<KdeDevice>(std::move(connection));
}
