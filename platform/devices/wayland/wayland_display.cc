// The connection to a Wayland compositor (see wayland_display.h).
#include "platform/devices/wayland/wayland_display.h"

#include <poll.h>

#include <cerrno>
#include <cstdarg>

#include "platform/devices/linux/linux_input.h"

namespace {

void silence(const char*, va_list) {}

}  // namespace

std::unique_ptr<WaylandDisplay> WaylandDisplay::connect(bool forced,
                                                        const wl_registry_listener* listener,
                                                        void* data, std::string& whyNot) {
  if (!forced && !inWaylandSession()) {
    whyNot = "no Wayland session: WAYLAND_DISPLAY is not set";
    return nullptr;
  }
  wl_log_set_handler_client(silence);
  std::unique_ptr<WaylandDisplay> self(new WaylandDisplay);
  self->display = wl_display_connect(nullptr);
  if (self->display == nullptr) {
    whyNot = "no Wayland compositor answers at WAYLAND_DISPLAY";
    return nullptr;
  }
  self->registry_ = wl_display_get_registry(self->display);
  wl_registry_add_listener(self->registry_, listener, data);
  if (wl_display_roundtrip(self->display) < 0) {
    whyNot = "the Wayland compositor closed the connection";
    return nullptr;
  }
  return self;
}

WaylandDisplay::~WaylandDisplay() {
  if (registry_ != nullptr) wl_registry_destroy(registry_);
  if (display != nullptr) wl_display_disconnect(display);
}

bool WaylandDisplay::live() const {
  return display != nullptr && wl_display_get_error(display) == 0;
}

void WaylandDisplay::flush() {
  while (live() && wl_display_flush(display) < 0 && errno == EAGAIN) {
    pollfd fd{wl_display_get_fd(display), POLLOUT, 0};
    if (poll(&fd, 1, 1000) <= 0 && errno != EINTR) return;
  }
}

void WaylandDisplay::dispatchPending() {
  if (!live()) return;
  while (wl_display_prepare_read(display) != 0) {
    if (wl_display_dispatch_pending(display) < 0) return;
  }
  pollfd fd{wl_display_get_fd(display), POLLIN, 0};
  if (poll(&fd, 1, 0) > 0) {
    wl_display_read_events(display);
  } else {
    wl_display_cancel_read(display);
  }
  wl_display_dispatch_pending(display);
}

void WaylandDisplay::roundtrip() {
  if (live()) wl_display_roundtrip(display);
}
