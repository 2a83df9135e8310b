// KDE Plasma: text through the keys of the active layout. KWin's fake input presses keys of
// KWin's own keymap and cannot upload one, so a character can be typed only where that keymap
// has it: this finds, for a Unicode scalar, a key of the first layout that types it and the
// modifier keys that reach its level (none, Shift, AltGr, or both). Characters that the layout
// lacks have no key and are dropped.
#pragma once

#include <xkbcommon/xkbcommon.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// A key to press (a Linux input code) with the modifier keys held around it (Linux codes too).
struct LayoutKey {
  std::uint32_t linuxCode;
  std::vector<std::uint32_t> modifiers;
};

class LayoutText {
 public:
  // From the seat's keymap text; the standard keymap (evdev, pc105, us) when it is empty or
  // does not compile.
  explicit LayoutText(const std::string& keymapText);
  ~LayoutText();
  LayoutText(const LayoutText&) = delete;
  LayoutText& operator=(const LayoutText&) = delete;

  // The key for a scalar; line feed and carriage return are Return, tab is Tab.
  std::optional<LayoutKey> find(char32_t scalar) const;

 private:
  xkb_context* context = nullptr;
  xkb_keymap* keymap = nullptr;
};
