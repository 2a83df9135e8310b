// InputInjector::execute and the mouse button commands.
#include "injector/input_injector.h"
#include "injector/post_event.h"

const InputInjector::Button& InputInjector::resolveButton(const std::optional<std::string>& name) {
  if (name == "right") return kButtons[1];
  if (name == "middle") return kButtons[2];
  return kButtons[0];
}

void InputInjector::execute(const InputCommand& command) {
  const std::string& cmd = command.cmd;
  if (cmd == "move") {
    if (command.x && command.y) moveDirect(*command.x, *command.y);
  } else if (cmd == "down") {
    pressOrRelease(command, true);
  } else if (cmd == "up") {
    pressOrRelease(command, false);
  } else if (cmd == "dblclick") {
    doubleClick(command);
  } else if (cmd == "wheel") {
    wheelDirect(command.dx.value_or(0), command.dy.value_or(0));
  } else if (cmd == "key") {
    executeKey(command);
  } else if (cmd == "shortcut") {
    handleShortcut(command.shortcut ? std::string_view(*command.shortcut) : std::string_view());
  }
}

void InputInjector::pressOrRelease(const InputCommand& command, bool press) {
  if (!command.x || !command.y) return;
  const CGPoint point{*command.x, *command.y};
  lastPoint = point;
  const Button& button = resolveButton(command.button);
  this->*button.held = press;
  postEvent(
      CGEventCreateMouseEvent(source.get(), press ? button.press : button.release, point,
                              button.number),
      [](CGEventRef event) { CGEventSetIntegerValueField(event, kCGMouseEventClickState, 1); });
}

void InputInjector::doubleClick(const InputCommand& command) {
  if (!command.x || !command.y) return;
  const CGPoint point{*command.x, *command.y};
  const Button& button = resolveButton(command.button);
  const struct {
    CGEventType type;
    std::int64_t clickState;
  } steps[] = {{button.press, 1}, {button.release, 1}, {button.press, 2}, {button.release, 2}};
  for (const auto& step : steps) {
    postEvent(CGEventCreateMouseEvent(source.get(), step.type, point, button.number),
              [&](CGEventRef event) {
                CGEventSetIntegerValueField(event, kCGMouseEventClickState, step.clickState);
              });
  }
}
