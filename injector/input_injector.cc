// InputInjector: construction, button reset, pointer motion and scrolling.
#include "injector/input_injector.h"

#include <cmath>

#include "injector/post_event.h"

InputInjector::InputInjector() : source(CGEventSourceCreate(kCGEventSourceStateHIDSystemState)) {}

void InputInjector::resetButtons() {
  struct Release {
    bool InputInjector::*held;
    CGEventType type;
    CGMouseButton button;
  };
  static constexpr Release kReleases[] = {
      {&InputInjector::leftDown, kCGEventLeftMouseUp, kCGMouseButtonLeft},
      {&InputInjector::rightDown, kCGEventRightMouseUp, kCGMouseButtonRight},
      {&InputInjector::middleDown, kCGEventOtherMouseUp, kCGMouseButtonCenter},
  };
  for (const Release& release : kReleases) {
    if (!(this->*release.held)) continue;
    this->*release.held = false;
    postEvent(CGEventCreateMouseEvent(source.get(), release.type, lastPoint, release.button));
  }
}

void InputInjector::moveDirect(double x, double y) {
  lastPoint = CGPoint{x, y};
  CGEventType type = kCGEventMouseMoved;
  CGMouseButton button = kCGMouseButtonLeft;
  if (leftDown) {
    type = kCGEventLeftMouseDragged;
  } else if (rightDown) {
    type = kCGEventRightMouseDragged;
    button = kCGMouseButtonRight;
  } else if (middleDown) {
    type = kCGEventOtherMouseDragged;
    button = kCGMouseButtonCenter;
  }
  postEvent(CGEventCreateMouseEvent(source.get(), type, CGPoint{x, y}, button));
}

std::optional<std::int32_t> wheelValue(double delta) {
  const double rounded = std::round(-delta);  // halves away from zero
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
