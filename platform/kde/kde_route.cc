// The KDE route: every event goes to KWin's fake input. Motion is absolute in KWin's global
// coordinates; buttons are Linux button codes; a scroll is an axis request of that many pixels
// (positive down and right); keys are Linux input codes of KWin's own keymap, and modifiers are
// keys too, whose presses change KWin's modifier state. Text is typed with the keys of the
// active layout (layout_text.h); characters it lacks are dropped.
//
// Flags press modifier keys around their key, as on the other Linux routes (key_chords.h).
//
// Fast motion is coalesced as on the wlroots route: a motion less than kMotionInterval after the
// last one sent is held back and replaced by a later one, and sent before any other event, when
// a motion comes after the interval, and at the end of its line unless the next line is already
// waiting on standard input. A compositor disconnects a window that stops reading once events
// pile up; a controller streaming positions must not do that.
//
// The route's end releases what the controller holds and waits until KWin has processed
// everything, so that once the agent has exited all its events have taken effect.
#include "platform/kde/kde_route.h"

#include <linux/input-event-codes.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <optional>
#include <vector>

#include "platform/kde/kde_connection.h"
#include "platform/kde/layout_text.h"
#include "platform/linux/event_parts.h"
#include "platform/linux/held_inputs.h"
#include "platform/linux/key_chords.h"
#include "platform/linux/linux_objects.h"

namespace {

constexpr std::chrono::microseconds kMotionInterval{1000};
// The largest magnitude a Wayland fixed-point number holds.
constexpr double kFixedLimit = 8388607.0;

// Whether the agent's next input is already waiting on standard input.
bool inputWaiting() {
  pollfd input{STDIN_FILENO, POLLIN, 0};
  return poll(&input, 1, 0) > 0 && (input.revents & POLLIN) != 0;
}

class KdeRoute final : public Route {
 public:
  explicit KdeRoute(std::unique_ptr<KdeConnection> connection)
      : connection(std::move(connection)), layout(this->connection->seatKeymap()) {
    this->connection->flush();
  }
  ~KdeRoute() override {
    flushMotion();
    keys.releaseHeld(held);
    const std::vector<CGMouseButton> buttons = held.buttons();
    for (auto it = buttons.rbegin(); it != buttons.rend(); ++it) sendButton(*it, false);
    connection->flush();
    connection->roundtrip();
  }

  void post(const CGEventOpaque& event) override {
    switch (event.eventClass) {
      case EventClass::mouse:
        keys.closeChord();
        // A coordinate that is not finite moves nothing; a press or release still happens.
        if (std::isfinite(event.point.x) && std::isfinite(event.point.y)) move(event.point);
        if (const auto press = buttonPressOf(event.mouseType)) {
          flushMotion();
          sendButton(event.button, *press);
          held.button(event.button, *press);
        }
        break;
      case EventClass::scroll:
        keys.closeChord();
        flushMotion();
        // Wheel values are the negated pixel deltas; the axis takes pixels down and right.
        if (event.wheel1 != 0) sendAxis(0, -static_cast<double>(event.wheel1));
        if (event.wheel2 != 0) sendAxis(1, -static_cast<double>(event.wheel2));
        break;
      case EventClass::keyboard:
        flushMotion();
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
    if (heldMotion && !inputWaiting()) flushMotion();
    connection->flush();
    connection->dispatchPending();
  }

 private:
  void move(CGPoint point) {
    const double x = std::clamp(point.x, -kFixedLimit, kFixedLimit);
    const double y = std::clamp(point.y, -kFixedLimit, kFixedLimit);
    const auto now = std::chrono::steady_clock::now();
    if (anyMotion && now - lastMotionTime < kMotionInterval) {
      heldMotion = CGPoint{x, y};
      return;
    }
    heldMotion.reset();
    sendMotion(CGPoint{x, y}, now);
  }

  void flushMotion() {
    if (!heldMotion) return;
    const CGPoint point = *heldMotion;
    heldMotion.reset();
    sendMotion(point, std::chrono::steady_clock::now());
  }

  void sendMotion(CGPoint point, std::chrono::steady_clock::time_point now) {
    anyMotion = true;
    lastMotionTime = now;
    if (!connection->live()) return;
    org_kde_kwin_fake_input_pointer_motion_absolute(
        connection->fakeInput(), wl_fixed_from_double(point.x), wl_fixed_from_double(point.y));
  }

  void sendButton(CGMouseButton button, bool press) {
    if (!connection->live()) return;
    org_kde_kwin_fake_input_button(
        connection->fakeInput(), linuxButton(button),
        press ? WL_POINTER_BUTTON_STATE_PRESSED : WL_POINTER_BUTTON_STATE_RELEASED);
  }

  void sendAxis(std::uint32_t axis, double pixels) {
    if (!connection->live()) return;
    org_kde_kwin_fake_input_axis(
        connection->fakeInput(), axis,
        wl_fixed_from_double(std::clamp(pixels, -kFixedLimit, kFixedLimit)));
  }

  void sendKey(std::uint32_t linuxCode, bool press) {
    if (linuxCode == 0 || !connection->live()) return;
    org_kde_kwin_fake_input_keyboard_key(
        connection->fakeInput(), linuxCode,
        press ? WL_KEYBOARD_KEY_STATE_PRESSED : WL_KEYBOARD_KEY_STATE_RELEASED);
  }

  // One character: its key with the modifiers its level needs. Modifier keys that the
  // controller holds stay as they are, and change what the character types, as on a keyboard.
  void type(char32_t scalar) {
    const std::optional<LayoutKey> key = layout.find(scalar);
    if (!key) return;
    for (std::uint32_t modifier : key->modifiers) sendKey(modifier, true);
    sendKey(key->linuxCode, true);
    sendKey(key->linuxCode, false);
    for (auto it = key->modifiers.rbegin(); it != key->modifiers.rend(); ++it) {
      sendKey(*it, false);
    }
  }

  std::unique_ptr<KdeConnection> connection;
  LayoutText layout;
  HeldInputs held;
  KeyChords keys{[this](std::uint32_t code, bool press) { sendKey(code, press); }};
  std::optional<CGPoint> heldMotion;
  bool anyMotion = false;
  std::chrono::steady_clock::time_point lastMotionTime;
};

}  // namespace

std::unique_ptr<Route> openKdeRoute(bool forced) {
  auto connection = KdeConnection::open(forced);
  if (!connection) return nullptr;
  return std::make_unique<KdeRoute>(std::move(connection));
}
