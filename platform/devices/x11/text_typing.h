// X11: typing Unicode text. X delivers keys, not text, so each Unicode scalar is typed as a
// press and release of a spare keycode (a text keycode that the server's keymap leaves without
// keysyms, spare_keycodes.h: never one that a toolkit takes for Escape, Tab, an F key or any
// other key of its own) that is bound to the scalar's keysym (keysymForScalar,
// platform/devices/linux/linux_input.h) just before; a scalar without a keysym is skipped. Spare
// keycodes are claimed one at a time as needed, shared safely with other agents on the display
// (spare_keycodes.h).
//
// Promises:
// - A receiver learns of a rebinding (MappingNotify) and refreshes its keymap in its own time.
//   Early readers: the press of a newly bound keycode reaches the server a lead after the
//   binding (XTest's delay, which the server honours without holding up the agent), so a
//   receiver has fetched the new keymap before the key arrives. The lead is kBindingLead while
//   text streams in (waiting for a spare's hold to pass included); when the agent's earlier
//   requests are long done (text typed at a human pace) it grows with that idle time up to
//   kIdleBindingLead, which costs such text nothing in rate and gives a busy receiver more time
//   to read the keymap. Late readers: a binding is left
//   in place for kHoldBinding after its key was processed before that keycode is bound to
//   anything else. A spare already bound to the wanted keysym is reused as it is, with no lead.
// - A spare is rebound at most once per kHoldBinding + kBindingLead (118 ms) while text
//   streams, and each new binding delays the agent's requests by kBindingLead, so distinct
//   scalars are typed at up to (spares held) per 118 ms and at most 125 a second: with Xvfb's
//   14 spares 118 a second (measured into Chromium, bench/apps: about 105). Repeated scalars go
//   at full speed.
// - A free spare whose hold has passed is rebound before another is claimed, so an agent that
//   types slowly holds few spares; one typing fast claims more, up to every free one.
// - restore() waits until the youngest binding has been in place for kHoldBinding, so that the
//   last characters typed still arrive as typed, then gives back every claimed keycode.
// - Nothing is typed when no spare keycode can be had. No Xlib call is made once the
//   connection is lost; nothing is ever printed.
//
// The hold and the lead were chosen from measurements of 300 distinct characters typed at full
// speed under Xvfb: Chromium and a GTK 3 entry got them exactly with a hold down to 10 ms and
// a lead of 5 ms, and lost some with a lead of 1 to 3 ms (Chromium) or a hold of 5 ms (GTK).
// 110 ms and 8 ms keep well clear of both and above 85 distinct characters a second.
#pragma once

#include <X11/Xlib.h>

#include <chrono>
#include <string_view>
#include <vector>

#include "platform/devices/x11/spare_keycodes.h"
#include "platform/events.h"

class TextTyper {
 public:
  static constexpr std::chrono::milliseconds kHoldBinding{110};
  static constexpr std::chrono::milliseconds kBindingLead{8};
  static constexpr std::chrono::milliseconds kIdleBindingLead{100};

  // `reserved`: keycodes that stand for physical keys, which must keep their meaning.
  TextTyper(Display* display, const std::vector<KeyCode>& reserved);

  // Presses and releases a spare bound to the keysym of each scalar of the text, in order.
  void type(std::u32string_view text);
  void restore();
  // How many keycodes text could bind now.
  std::size_t spareCount() { return registry.freeCount(); }

 private:
  using Clock = std::chrono::steady_clock;
  struct Spare {
    KeyCode keycode;
    KeySym bound = NoSymbol;
    Clock::time_point lastSent{};  // when the server processes its last key (an estimate)
  };

  Display* live() const;
  // The delay between a new binding and its press: how long the server has had nothing of ours
  // to process while the agent was not waiting for a spare, kept between kBindingLead and
  // kIdleBindingLead.
  std::chrono::milliseconds bindingLead() const;
  void typeScalar(KeySym keysym);
  Spare* spareFor(KeySym keysym);
  void change(KeyCode keycode, KeySym keysym);
  // When the server will have processed what was sent so far and `delay` more.
  Clock::time_point serverTimeAfter(std::chrono::milliseconds delay);

  Display* display;
  SpareKeycodes registry;
  std::vector<Spare> spares;
  Clock::time_point serverBusyUntil{};
  Clock::time_point waitedUntil{};    // the end of the last wait for a spare's hold to pass
  Clock::time_point noClaimBefore{};  // after a claim that found no free spare
};
