// InputInjector: the agent's one stateful object. It owns the event source, records which mouse
// buttons the agent holds and where it last put the pointer, and turns commands into posted
// events. Every event goes the same way: created from the source, decorated, posted at the HID
// event tap, released; one the platform does not create is skipped and the caller goes on.
// State changes come before the event they describe and stay even when no event is created.
//
// One instance lives for the whole run, on main's stack. Its destructor hands the source to the
// platform's rule for the end of the agent (platform/source_at_exit.h): macOS keeps it and holds
// what it holds; Linux releases it, which releases held keys and buttons. Single-threaded.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "command/input_command.h"
#include "injector/cf_handle.h"
#include "platform/events.h"

class InputInjector {
 public:
  InputInjector();
  ~InputInjector();
  InputInjector(const InputInjector&) = delete;
  InputInjector& operator=(const InputInjector&) = delete;

  // Releases every held button at lastPoint, left, right, middle, clearing each flag first.
  void resetButtons();
  // Moves the pointer to (x, y), as a drag of the first held button (left, right, middle).
  void moveDirect(double x, double y);
  // Scrolls by pixels: a positive dy scrolls down (wheel 1 negative), a positive dx right.
  // Posts nothing when a delta has no 32-bit wheel value (see wheelValue).
  void wheelDirect(double dx, double dy);
  // Carries out one decoded JSON command.
  void execute(const InputCommand& command);

 private:
  // A mouse button: its platform number, its event types and its held flag.
  struct Button {
    CGMouseButton number;
    CGEventType press;
    CGEventType release;
    CGEventType dragged;
    bool InputInjector::*held;
  };
  // Left, right, middle: the order in which held buttons drag and are released by a reset.
  static const Button kButtons[3];
  // The button a "down", "up" or "dblclick" names: "right", "middle", else left.
  static const Button& resolveButton(const std::optional<std::string>& name);

  void pressOrRelease(const InputCommand& command, bool press);
  void doubleClick(const InputCommand& command);
  // A "key" command: a virtual key pair with modifier flags, Unicode text, or nothing.
  void executeKey(const InputCommand& command);
  // Posts a key-down and a key-up for virtual key 0, both carrying the whole text and no flags.
  void postUnicodeCharacter(std::string_view text);
  // Posts the named chord: one key-down and one key-up with the chord's flags; others nothing.
  void handleShortcut(std::string_view name);

  CFHandle<CGEventSourceRef> source;
  bool leftDown = false;
  bool rightDown = false;
  bool middleDown = false;
  CGPoint lastPoint{0, 0};
};

// The platform wheel value of a scroll delta: the delta negated, rounded to the nearest whole
// number with halves away from zero, as a signed 32-bit integer. None when that value is not
// finite or lies outside -2147483648 to 2147483647.
std::optional<std::int32_t> wheelValue(double delta);
