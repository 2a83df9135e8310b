// The keycodes that typed text may be bound to, for the routes that bind characters to keycodes
// of their own (the wlroots text keyboard). A keycode keeps its physical identity whatever its
// keymap says: toolkits that read KeyboardEvent.code or the evdev code (Chromium, and every page
// in it) take the key under keycode 9 for Escape, 22 for Backspace, 23 for Tab, 36 for Enter, 37
// for Control, and act on them. These XKB keycodes (Linux input code plus 8) arrived in Chromium
// 156, native on Wayland (sway 1.7), each bound alone to a character in a one-key keymap and
// tapped into a text area, with an empty `code`, typing the character and nothing else: none
// is a function key, a modifier, an arrow, a media, browser or input-method key, nor a printable
// key whose code a page could act on. All are at most 255, so X clients under Xwayland read
// them too.
#pragma once

#include <array>
#include <cstdint>

inline constexpr std::array<std::uint32_t, 15> kTextKeycodes = {
    126, 158, 160, 177, 182, 190, 212, 217, 218, 236, 237, 238, 242, 243, 252};

static_assert(
    [] {
      for (std::size_t i = 1; i < kTextKeycodes.size(); ++i) {
        if (!(kTextKeycodes[i - 1] < kTextKeycodes[i])) return false;
      }
      return kTextKeycodes.front() >= 9 && kTextKeycodes.back() <= 255;
    }(),
    "text keycodes ascending, each once, within 9 to 255");
