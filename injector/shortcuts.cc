// InputInjector::handleShortcut: named chords, each one virtual key with fixed modifier flags,
// from the platform's table (platform/shortcut_chords.h). The key numbers are the chord's own;
// they are not looked up in the key code table.
#include "injector/input_injector.h"
#include "injector/post_event.h"
#include "platform/shortcut_chords.h"

void InputInjector::handleShortcut(std::string_view name) {
  for (const ShortcutChord& shortcut : shortcutChords()) {
    if (shortcut.name != name) continue;
    const auto setFlags = [&](CGEventRef event) { CGEventSetFlags(event, shortcut.flags); };
    postEvent(CGEventCreateKeyboardEvent(source.get(), shortcut.key, true), setFlags);
    postEvent(CGEventCreateKeyboardEvent(source.get(), shortcut.key, false), setFlags);
    return;
  }
}
