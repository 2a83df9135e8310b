// X11: Unicode text through spare keycodes (see text_typing.h).
//
// A spare is bound with the core request XChangeKeyboardMapping to the keysym at both of its
// first two levels, so that a Shift the agent holds does not change what the key types. The
// server carries out one client's requests in order, so the binding is in force before the key
// event; XTest's delay on the press gives receivers time to read it.
#include "platform/devices/x11/text_typing.h"

#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <memory>
#include <thread>

#include "platform/devices/linux/linux_input.h"
#include "platform/devices/x11/x11_connection.h"

namespace {

constexpr int kLevelsBound = 2;

}  // namespace

TextTyper::TextTyper(Display* display, const std::vector<KeyCode>& reserved)
    : display(display), registry(display, reserved) {}

Display* TextTyper::live() const { return x11ConnectionLost() ? nullptr : display; }

void TextTyper::type(std::u32string_view text) {
  for (const char32_t scalar : text) {
    if (live() == nullptr) return;
    const KeySym keysym = keysymForScalar(scalar);
    if (keysym != NoSymbol) typeScalar(keysym);
  }
}

TextTyper::Clock::time_point TextTyper::serverTimeAfter(std::chrono::milliseconds delay) {
  serverBusyUntil = std::max(serverBusyUntil, Clock::now()) + delay;
  return serverBusyUntil;
}

std::chrono::milliseconds TextTyper::bindingLead() const {
  // Time the agent spent waiting for one of its own spares is not idle: the text streams.
  const auto idle = std::chrono::duration_cast<std::chrono::milliseconds>(
      Clock::now() - std::max(serverBusyUntil, waitedUntil));
  return std::clamp(idle, kBindingLead, kIdleBindingLead);
}

void TextTyper::typeScalar(KeySym keysym) {
  Spare* spare = spareFor(keysym);
  if (spare == nullptr) return;
  std::chrono::milliseconds lead{0};
  if (spare->bound != keysym) {
    change(spare->keycode, keysym);
    spare->bound = keysym;
    lead = bindingLead();
  }
  if (Display* d = live()) {
    XTestFakeKeyEvent(d, spare->keycode, True, static_cast<unsigned long>(lead.count()));
    XTestFakeKeyEvent(d, spare->keycode, False, CurrentTime);
    // Sent now, not when the next line's flush happens: the hold is counted from here.
    XFlush(d);
  }
  spare->lastSent = serverTimeAfter(lead);
}

TextTyper::Spare* TextTyper::spareFor(KeySym keysym) {
  for (Spare& spare : spares) {
    if (spare.bound == keysym) return &spare;
  }
  const auto oldest =
      std::min_element(spares.begin(), spares.end(),
                       [](const Spare& a, const Spare& b) { return a.lastSent < b.lastSent; });
  const bool oldestFree =
      oldest != spares.end() &&
      (oldest->bound == NoSymbol || oldest->lastSent + kHoldBinding <= Clock::now());
  if (oldestFree) return &*oldest;
  // A claim grabs the server and makes a few round trips; once none was to be had, the next
  // try waits until one of the agent's own spares would have come free anyway.
  if (Clock::now() >= noClaimBefore) {
    if (const std::optional<KeyCode> claimed = registry.claim()) {
      spares.push_back({*claimed});
      return &spares.back();
    }
    noClaimBefore = Clock::now() + kHoldBinding;
  }
  if (oldest == spares.end()) return nullptr;
  waitedUntil = oldest->lastSent + kHoldBinding;
  std::this_thread::sleep_until(waitedUntil);
  return &*oldest;
}

void TextTyper::change(KeyCode keycode, KeySym keysym) {
  KeySym keysyms[kLevelsBound];
  std::fill(std::begin(keysyms), std::end(keysyms), keysym);
  if (Display* d = live()) XChangeKeyboardMapping(d, keycode, kLevelsBound, keysyms, 1);
}

void TextTyper::restore() {
  Clock::time_point youngest{};
  for (const Spare& spare : spares) {
    if (spare.bound != NoSymbol) youngest = std::max(youngest, spare.lastSent);
  }
  if (live() == nullptr) return;
  if (youngest != Clock::time_point{}) std::this_thread::sleep_until(youngest + kHoldBinding);
  registry.releaseAll([this](KeyCode keycode) {
    for (const Spare& spare : spares) {
      if (spare.keycode == keycode) return spare.bound;
    }
    return static_cast<KeySym>(NoSymbol);
  });
  spares.clear();
}
