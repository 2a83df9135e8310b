// The X11 route: each event goes to the pointer or keyboard code of this folder; the end of each
// line closes an open chord and flushes; the route's end releases what the agent holds and puts
// back the keymap.
#include "platform/x11/x11_route.h"

#include "platform/x11/x11_objects.h"

namespace {

class X11Route final : public Route {
 public:
  explicit X11Route(std::unique_ptr<X11Source> source) : source(std::move(source)) {}
  ~X11Route() override { closeX11Source(*source); }

  void post(const CGEventOpaque& event) override {
    if (source->live() == nullptr) return;
    switch (event.eventClass) {
      case EventClass::mouse:
        postMouseEvent(*source, event);
        break;
      case EventClass::scroll:
        postScrollEvent(*source, event);
        break;
      case EventClass::keyboard:
        postKeyboardEvent(*source, event);
        break;
    }
  }
  void deliver() override { deliverX11(*source); }

 private:
  std::unique_ptr<X11Source> source;
};

}  // namespace

// DISPLAY is what XOpenDisplay reads either way, so forcing the route changes nothing.
std::unique_ptr<Route> openX11Route(bool) {
  auto source = openX11Source();
  if (!source) return nullptr;
  return std::make_unique<X11Route>(std::move(source));
}
