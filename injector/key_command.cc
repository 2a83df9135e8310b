// InputInjector: the "key" command and Unicode text entry.
//
// A single non-ASCII character with no Control, Option or Command is typed as text before the
// key code table is looked at; otherwise the table's virtual key is pressed, released or both
// with the modifier flags; a one-character text whose code the table lacks falls back to text
// entry. Text entry posts no flags, and an "up" action never types text.
#include "injector/input_injector.h"
#include "injector/post_event.h"
#include "keys/key_table.h"
#include "keys/key_text.h"

void InputInjector::executeKey(const InputCommand& command) {
  const std::string_view action = command.action ? std::string_view(*command.action) : "tap";
  const bool blocksText =
      command.ctrl.value_or(false) || command.alt.value_or(false) || command.meta.value_or(false);
  CGEventFlags flags = 0;
  if (command.shift.value_or(false)) flags |= kCGEventFlagMaskShift;
  if (command.ctrl.value_or(false)) flags |= kCGEventFlagMaskControl;
  if (command.alt.value_or(false)) flags |= kCGEventFlagMaskAlternate;
  if (command.meta.value_or(false)) flags |= kCGEventFlagMaskCommand;

  const bool oneCharacter = command.key && isSingleCharacter(*command.key);
  if (!blocksText && oneCharacter && firstScalar(*command.key) >= 0x80) {
    if (action != "up") postUnicodeCharacter(*command.key);
    return;
  }

  const auto code = macVirtualKeyCode(command.code ? std::string_view(*command.code) : "");
  if (!code) {
    if (action != "up" && oneCharacter && !blocksText) postUnicodeCharacter(*command.key);
    return;
  }
  const auto setFlags = [flags](CGEventRef event) { CGEventSetFlags(event, flags); };
  if (action == "down" || action == "tap") {
    postEvent(CGEventCreateKeyboardEvent(source.get(), *code, true), setFlags);
  }
  if (action == "up" || action == "tap") {
    postEvent(CGEventCreateKeyboardEvent(source.get(), *code, false), setFlags);
  }
}

void InputInjector::postUnicodeCharacter(std::string_view text) {
  const std::vector<std::uint16_t> units = toUtf16(text);
  const auto setText = [&units](CGEventRef event) {
    CGEventKeyboardSetUnicodeString(event, units.size(), units.data());
  };
  postEvent(CGEventCreateKeyboardEvent(source.get(), 0, true), setText);
  postEvent(CGEventCreateKeyboardEvent(source.get(), 0, false), setText);
}
