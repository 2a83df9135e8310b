// InputInjector::handleShortcut: named chords, each one virtual key with fixed modifier flags.
// The key numbers are the chord's own; they are not looked up in the key code table.
#include "injector/input_injector.h"
#include "injector/post_event.h"

namespace {

struct Shortcut {
  std::string_view name;
  CGKeyCode key;
  CGEventFlags flags;
};

constexpr Shortcut kShortcuts[] = {
    {"cmd_tab", 48, kCGEventFlagMaskCommand},                                   // Tab
    {"alt_tab", 48, kCGEventFlagMaskAlternate},                                 // Tab
    {"cmd_space", 49, kCGEventFlagMaskCommand},                                 // Space
    {"win_key", 49, kCGEventFlagMaskCommand},                                   // Space
    {"copy", 8, kCGEventFlagMaskCommand},                                       // C
    {"paste", 9, kCGEventFlagMaskCommand},                                      // V
    {"lock_screen", 12, kCGEventFlagMaskControl | kCGEventFlagMaskCommand},     // Q
    {"show_desktop", 103, 0},                                                   // F11
    {"ctrl_alt_del", 53, kCGEventFlagMaskAlternate | kCGEventFlagMaskCommand},  // Escape
};

}  // namespace

void InputInjector::handleShortcut(std::string_view name) {
  for (const Shortcut& shortcut : kShortcuts) {
    if (shortcut.name != name) continue;
    const auto setFlags = [&](CGEventRef event) { CGEventSetFlags(event, shortcut.flags); };
    postEvent(CGEventCreateKeyboardEvent(source.get(), shortcut.key, true), setFlags);
    postEvent(CGEventCreateKeyboardEvent(source.get(), shortcut.key, false), setFlags);
    return;
  }
}
