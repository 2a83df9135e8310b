// X11: Unicode text through spare keycodes (see text_typing.h).
//
// A spare is bound with the core request XChangeKeyboardMapping to the keysym at both of its
// first two levels, so that a Shift the agent holds does not change what the key types. The
// request is followed by a round trip, which leaves the binding in force before the key event.
#include "platform/x11/text_typing.h"

#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <memory>
#include <thread>

#include "platform/x11/x11_objects.h"

namespace {

constexpr int kLevelsBound = 2;

struct XFreeDelete {
  void operator()(KeySym* keysyms) const { XFree(keysyms); }
};

// The keysyms of every keycode from min to max, keysymsPerKeycode of them each; empty on failure.
std::unique_ptr<KeySym, XFreeDelete> keyboardMapping(Display* display, int min, int max,
                                                     int& keysymsPerKeycode) {
  keysymsPerKeycode = 0;
  return std::unique_ptr<KeySym, XFreeDelete>(
      XGetKeyboardMapping(display, static_cast<KeyCode>(min), max - min + 1, &keysymsPerKeycode));
}

}  // namespace

KeySym keysymForScalar(char32_t scalar) {
  if (scalar == U'\n' || scalar == U'\r') return XK_Return;
  if (scalar == U'\t') return XK_Tab;
  if (scalar == 0 || (scalar >= 0xD800 && scalar <= 0xDFFF) || scalar > 0x10FFFF) return NoSymbol;
  if ((scalar >= 0x20 && scalar <= 0x7E) || (scalar >= 0xA0 && scalar <= 0xFF)) return scalar;
  return 0x01000000 + static_cast<KeySym>(scalar);
}

std::vector<char32_t> decodeUtf16(const std::vector<UniChar>& units) {
  std::vector<char32_t> scalars;
  for (std::size_t i = 0; i < units.size(); ++i) {
    const char32_t unit = units[i];
    if (unit >= 0xD800 && unit <= 0xDBFF) {
      if (i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
        scalars.push_back(0x10000 + ((unit - 0xD800) << 10) + (units[i + 1] - 0xDC00));
        ++i;
      }
    } else if (unit < 0xDC00 || unit > 0xDFFF) {
      scalars.push_back(unit);
    }
  }
  return scalars;
}

TextTyper::TextTyper(Display* display, const std::vector<KeyCode>& reserved) : display(display) {
  if (live() == nullptr) return;
  int min = 0, max = 0;
  XDisplayKeycodes(display, &min, &max);
  int perKeycode = 0;
  const auto mapping = keyboardMapping(display, min, max, perKeycode);
  if (!mapping || perKeycode <= 0) return;
  for (int keycode = min; keycode <= max; ++keycode) {
    const KeySym* keysyms = mapping.get() + static_cast<std::ptrdiff_t>(keycode - min) * perKeycode;
    const bool unbound =
        std::all_of(keysyms, keysyms + perKeycode, [](KeySym k) { return k == NoSymbol; });
    const bool isReserved = std::find(reserved.begin(), reserved.end(), keycode) != reserved.end();
    if (unbound && !isReserved) spares.push_back({static_cast<KeyCode>(keycode)});
  }
}

Display* TextTyper::live() const { return x11ConnectionLost() ? nullptr : display; }

void TextTyper::type(const std::vector<UniChar>& text) {
  if (spares.empty()) return;
  for (const char32_t scalar : decodeUtf16(text)) {
    if (live() == nullptr) return;
    const KeySym keysym = keysymForScalar(scalar);
    if (keysym != NoSymbol) typeScalar(keysym);
  }
}

void TextTyper::typeScalar(KeySym keysym) {
  Spare& spare = spareFor(keysym);
  if (spare.bound != keysym) {
    change(spare.keycode, keysym);
    if (Display* d = live()) XSync(d, False);
    spare.bound = keysym;
  }
  for (const Bool press : {True, False}) {
    if (Display* d = live()) XTestFakeKeyEvent(d, spare.keycode, press, CurrentTime);
  }
  // Sent now, not when the next line's flush happens: the hold is counted from here.
  if (Display* d = live()) XFlush(d);
  spare.lastSent = Clock::now();
}

TextTyper::Spare& TextTyper::spareFor(KeySym keysym) {
  for (Spare& spare : spares) {
    if (spare.bound == keysym) return spare;
  }
  Spare& oldest =
      *std::min_element(spares.begin(), spares.end(),
                        [](const Spare& a, const Spare& b) { return a.lastSent < b.lastSent; });
  if (oldest.bound != NoSymbol) std::this_thread::sleep_until(oldest.lastSent + kHoldBinding);
  return oldest;
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
  if (youngest == Clock::time_point{}) return;
  if (live() == nullptr) return;
  std::this_thread::sleep_until(youngest + kHoldBinding);
  Display* d = live();
  if (d == nullptr) return;
  int min = 0, max = 0;
  XDisplayKeycodes(d, &min, &max);
  int perKeycode = 0;
  const auto mapping = keyboardMapping(d, min, max, perKeycode);
  if (!mapping || perKeycode <= 0) return;
  for (Spare& spare : spares) {
    if (spare.bound == NoSymbol) continue;
    // A keycode that some other client has bound since is left with that binding.
    const KeySym current =
        mapping.get()[static_cast<std::ptrdiff_t>(spare.keycode - min) * perKeycode];
    if (current == spare.bound) change(spare.keycode, NoSymbol);
    spare.bound = NoSymbol;
  }
  if (Display* live = this->live()) XSync(live, False);
}
