// A survey of the keycodes typed text may use on X11: for every X keycode from 8 to 255, what
// Chromium on a private Xvfb makes of it when it is bound alone to a character (its keysym on both
// levels of the core keymap) and tapped into a text area through XTest: the keydown's `code` and
// `key`, and the text typed. A keycode is safe for typed text when the keydown has an empty `code`
// and the text area receives the character and nothing else. The table also says which keycodes
// Xvfb's default keymap leaves without keysyms (spare) and which columns of the text keycode
// table (platform/devices/linux/text_keycodes.h) hold them; the last lines list the safe ones and
// the safe spare ones.
//
//   build/bench/keycode_survey file://$PWD/tests/apps/page.html [FIRST LAST]
//
// A keycode whose keydown names a key is tried with the keydown cancelled only, so that no
// function key acts on the page or the browser; one with an empty `code` is then tapped again
// as text would be. About two minutes for the whole range.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "apps/chromium.h"
#include "platform/devices/linux/text_keycodes.h"
#include "support/xvfb.h"

namespace {

using namespace std::chrono_literals;

// The character tried on a keycode: one CJK ideograph per keycode, so that a stray press of
// another keycode's binding would show.
char32_t characterFor(int keycode) { return U'\u4E00' + static_cast<char32_t>(keycode); }

std::string utf8(char32_t c) {
  return {static_cast<char>(0xE0 | (c >> 12)), static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
          static_cast<char>(0x80 | (c & 0x3F))};
}

std::vector<bool> spareKeycodes(Display* d) {
  int min = 0, max = 0, per = 0;
  XDisplayKeycodes(d, &min, &max);
  KeySym* keysyms = XGetKeyboardMapping(d, static_cast<KeyCode>(min), max - min + 1, &per);
  std::vector<bool> spare(256, false);
  for (int k = min; k <= max; ++k) {
    const KeySym* row = keysyms + static_cast<std::ptrdiff_t>(k - min) * per;
    spare[static_cast<std::size_t>(k)] =
        std::all_of(row, row + per, [](KeySym s) { return s == NoSymbol; });
  }
  XFree(keysyms);
  return spare;
}

void bind(Display* d, int keycode, KeySym keysym) {
  KeySym both[2] = {keysym, keysym};
  XChangeKeyboardMapping(d, keycode, 2, both, 1);
  XSync(d, False);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && argc != 4) {
    std::fprintf(stderr, "usage: keycode_survey PAGE_URL [FIRST LAST]\n");
    return 2;
  }
  const std::string url = argv[1];
  const int first = argc == 4 ? std::atoi(argv[2]) : 8;
  const int last = argc == 4 ? std::atoi(argv[3]) : 255;
  Xvfb server(1024, 768);
  if (!server.available()) return 1;
  Display* d = XOpenDisplay(server.display().c_str());
  if (d == nullptr) return 1;
  const std::vector<bool> spare = spareKeycodes(d);
  Chromium browser(server.display(), url, 800, 600);
  if (!browser.available()) return 1;
  XWarpPointer(d, 0, DefaultRootWindow(d), 0, 0, 0, 0, 300, 100);
  XSync(d, False);

  // Every keydown is recorded; while `block` is set it is also cancelled, so that a function
  // key does nothing in the page or the browser (F1 would open a help window and take the
  // focus, BrowserBack leave the page).
  const std::string watch =
      "window.keys = []; window.block = true;"
      "addEventListener('keydown', e => { keys.push(e.code + '|' + e.key);"
      " if (block) e.preventDefault(); }, true); text.focus(); true";
  const auto pageReady = [&] {
    for (int i = 0; i < 200; ++i) {
      if (browser.evaluate("location.href + ' ' + document.readyState") == url + " complete" &&
          browser.evaluate("document.hasFocus()") == true) {
        return browser.evaluate(watch) == true;
      }
      std::this_thread::sleep_for(50ms);
    }
    return false;
  };
  if (!pageReady()) return 1;
  // Chromium may drop the first key after it takes the focus.
  browser.evaluate("block = false");
  bind(d, 255, 0x1000000 + 'x');
  for (int i = 0; i < 50 && browser.evaluate("text.value").get<std::string>().empty(); ++i) {
    XTestFakeKeyEvent(d, 255, True, CurrentTime);
    XTestFakeKeyEvent(d, 255, False, CurrentTime);
    XSync(d, False);
    std::this_thread::sleep_for(100ms);
  }
  bind(d, 255, NoSymbol);

  // One tap of keycode k bound to its character: the keydowns seen, and the text typed.
  struct Tap {
    std::vector<std::string> keydowns;
    std::string typed;
    bool focused;
  };
  const auto tap = [&](int k, bool block) {
    browser.evaluate(std::string("block = ") + (block ? "true" : "false") +
                     "; keys.length = 0; text.value = ''; text.focus(); true");
    bind(d, k, 0x1000000 + characterFor(k));
    std::this_thread::sleep_for(100ms);  // Chromium reads the new keymap
    XTestFakeKeyEvent(d, static_cast<unsigned>(k), True, CurrentTime);
    XTestFakeKeyEvent(d, static_cast<unsigned>(k), False, CurrentTime);
    XSync(d, False);
    std::this_thread::sleep_for(250ms);
    Tap result;
    const nlohmann::json keys = browser.evaluate("keys");
    if (keys.is_array()) result.keydowns = keys.get<std::vector<std::string>>();
    const nlohmann::json value = browser.evaluate("text.value");
    result.typed = value.is_string() ? value.get<std::string>() : "(no page)";
    result.focused = browser.evaluate("document.hasFocus()") == true;
    // Back to no keysym, as a spare is.
    bind(d, k, NoSymbol);
    return result;
  };

  // The columns of the text keycode table that hold the keycode.
  const auto columns = [](int k) {
    const auto row = std::find_if(kTextKeycodeTable.begin(), kTextKeycodeTable.end(),
                                  [&](const TextKeycode& r) { return r.keycode == unsigned(k); });
    if (row == kTextKeycodeTable.end()) return std::string();
    return std::string(row->wayland ? "wayland " : "") + (row->x11 ? "x11" : "");
  };
  std::vector<int> safe, safeSpare;
  std::printf(
      "| keycode | spare | text table | keydown code|key | typed | safe |\n"
      "|---|---|---|---|---|---|\n");
  for (int k = first; k <= last; ++k) {
    // First with the keydown cancelled: only a keycode with an empty code is tried for text.
    Tap blocked = tap(k, true);
    if (!blocked.focused) {
      std::fprintf(stderr, "keycode %d: the page lost the focus\n", k);
      return 1;
    }
    const bool noCode = blocked.keydowns.size() == 1 && blocked.keydowns[0].rfind('|', 0) == 0;
    Tap typed = noCode ? tap(k, false) : Tap{};
    const std::string expected = utf8(characterFor(k));
    const bool ok =
        noCode && typed.focused && typed.typed == expected && typed.keydowns == blocked.keydowns;
    if (ok) safe.push_back(k);
    const bool isSpare = spare[static_cast<std::size_t>(k)];
    if (ok && isSpare) safeSpare.push_back(k);
    std::string seen;
    for (const std::string& entry : blocked.keydowns) seen += (seen.empty() ? "" : ", ") + entry;
    std::printf("| %d | %s | %s | %s | %s | %s |\n", k, isSpare ? "spare" : "", columns(k).c_str(),
                seen.c_str(),
                !noCode                   ? "-"
                : typed.typed == expected ? "exact"
                                          : typed.typed.c_str(),
                ok ? "safe" : "");
    std::fflush(stdout);
  }
  const auto list = [](const char* name, const std::vector<int>& keycodes) {
    std::printf("%s (%zu):", name, keycodes.size());
    for (const int k : keycodes) std::printf(" %d", k);
    std::printf("\n");
  };
  list("safe", safe);
  list("safe and spare in Xvfb's keymap", safeSpare);
  XCloseDisplay(d);
  return 0;
}
