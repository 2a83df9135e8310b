// InputInjector: construction, button reset, pointer motion and scrolling.
#include "injector/input_injector.h"

#include <cmath>

#include "injector/post_event.h"
#include "injector/round_half_away.h"
#include "platform/source_at_exit.h"

InputInjector::InputInjector() : source(CGEventSourceCreate(kCGEventSourceStateHIDSystemState)) {}

InputInjector::~InputInjector() { endEventSource(source.release()); }

const InputInjector::Button InputInjector::kButtons[3] = {
    {kCGMouseButtonLeft, kCGEventLeftMouseDown, kCGEventLeftMouseUp, kCGEventLeftMouseDragged,
     &InputInjector::leftDown},
    {kCGMouseButtonRight, kCGEventRightMouseDown, kCGEventRightMouseUp, kCGEventRightMouseDragged,
     &InputInjector::rightDown},
    {kCGMouseButtonCenter, kCGEventOtherMouseDown, kCGEventOtherMouseUp, kCGEventOtherMouseDragged,
     &InputInjector::middleDown},
};

void InputInjector::resetButtons() {
  for (const Button& button : kButtons) {
    if (!(this->*button.held)) continue;
    this->*button.held = false;
    postEvent(CGEventCreateMouseEvent(source.get(), button.release, lastPoint, button.number));
  }
}

void InputInjector::moveDirect(double x, double y) {
  lastPoint = CGPoint{x, y};
  CGEventType type = kCGEventMouseMoved;
  CGMouseButton number = kCGMouseButtonLeft;
  for (const Button& button : kButtons) {
    if (!(this->*button.held)) continue;
    type = button.dragged;
    number = button.number;
    break;
  }
  postEvent(CGEventCreateMouseEvent(source.get(), type, CGPoint{x, y}, number));
}

std::optional<std::int32_t> wheelValue(double delta) {
  const double rounded = roundHalfAway(-delta);
  if (!std::isfinite(rounded) || rounded < -2147483648.0 || rounded > 2147483647.0) {
    return std::nullopt;
  }
  return static_cast<std::int32_t>(rounded);
}

void InputInjector::wheelDirect(double dx, double dy) {
  const auto wheel1 = wheelValue(dy);
  const auto wheel2 = wheelValue(dx);
  if (!wheel1 || !wheel2) return;
  postEvent(CGEventCreateScrollWheelEvent2(source.get(), kCGScrollEventUnitPixel, 2, *wheel1,
                                           *wheel2, 0));
}
