// The keycodes that typed text may be bound to, for the routes that bind characters to keycodes
// of their own: the wlroots text keyboard, and the X11 route's spare keycodes. A keycode keeps
// its physical identity whatever its keymap says: toolkits that read KeyboardEvent.code or the
// evdev code (Chromium, and every page in it) take the key under keycode 9 for Escape, 22 for
// Backspace, 23 for Tab, 36 for Enter, 37 for Control, and act on them. Each keycode here, bound
// alone to a character and tapped into a text area of Chromium 156, arrived with an empty
// `code` and typed the character and nothing else; the columns say where that was measured:
//
// - wayland: Chromium native on Wayland (sway 1.7), the keycode alone in a one-key keymap. Only
//   keycodes that Chromium knows without naming them type there: a keycode it does not know
//   at all (the x11-only keycodes here from 103 up, tried in the agent's text keymap) types
//   nothing.
// - x11: Chromium on X11 (Xvfb), the keycode bound through the core keymap
//   (bench/keycode_survey.cc). Every keycode that Chromium names nothing types there; the column
//   holds those that the standard keymap (evdev rules, pc105, us) leaves without keysyms, which
//   are what an X server's keymap has spare (8, 103, 120, 149, 154, 168, 178, 183, 184, 217,
//   219, 222, 230 and 248 under Xvfb), and the wayland ones, which a keymap of another layout may
//   leave free. Keycodes that the standard keymap puts in its modifier map (92, 203 to 207)
//   are not here, measured safe or not: a keycode in the modifier map changes the modifier state
//   whatever its keysyms.
//
// None is a function key, a modifier, an arrow, a media, browser or input-method key, nor a
// printable key whose code a page could act on. All are at most 255, so X clients (under
// Xwayland too) read them.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

struct TextKeycode {
  std::uint32_t keycode;  // XKB keycode: Linux input code plus 8
  bool wayland;
  bool x11;
};

inline constexpr std::array<TextKeycode, 28> kTextKeycodeTable = {{
    {8, false, true},   {103, false, true}, {120, false, true}, {126, true, true},
    {149, false, true}, {154, false, true}, {158, true, true},  {160, true, true},
    {168, false, true}, {177, true, true},  {178, false, true}, {182, true, true},
    {183, false, true}, {184, false, true}, {190, true, true},  {212, true, true},
    {217, true, true},  {218, true, true},  {219, false, true}, {222, false, true},
    {230, false, true}, {236, true, true},  {237, true, true},  {238, true, true},
    {242, true, true},  {243, true, true},  {248, false, true}, {252, true, true},
}};

static_assert(
    [] {
      for (std::size_t i = 1; i < kTextKeycodeTable.size(); ++i) {
        if (!(kTextKeycodeTable[i - 1].keycode < kTextKeycodeTable[i].keycode)) return false;
      }
      return kTextKeycodeTable.front().keycode >= 8 && kTextKeycodeTable.back().keycode <= 255;
    }(),
    "text keycodes ascending, each once, within 8 to 255");

// The keycodes of one column, ascending.
template <bool TextKeycode::*kColumn>
constexpr auto textKeycodesOf() {
  constexpr auto count =
      static_cast<std::size_t>(std::count_if(kTextKeycodeTable.begin(), kTextKeycodeTable.end(),
                                             [](const TextKeycode& row) { return row.*kColumn; }));
  std::array<std::uint32_t, count> keycodes{};
  std::size_t next = 0;
  for (const TextKeycode& row : kTextKeycodeTable) {
    if (row.*kColumn) keycodes[next++] = row.keycode;
  }
  return keycodes;
}

inline constexpr auto kWaylandTextKeycodes = textKeycodesOf<&TextKeycode::wayland>();
inline constexpr auto kX11TextKeycodes = textKeycodesOf<&TextKeycode::x11>();
