// KDE Plasma: the connection to KWin (see kde_connection.h).
#include "platform/devices/kde/kde_connection.h"

#include "platform/devices/linux/linux_input.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdlib>
#include <cstring>

namespace {

// Fake input of version 4 has absolute motion (3) and keys (4).
constexpr std::uint32_t kFakeInputVersion = 4;

void silence(const char*, va_list) {}

}  // namespace

void KdeConnection::global(void* data, wl_registry* registry, std::uint32_t name,
                           const char* interface, std::uint32_t version) {
  auto* self = static_cast<KdeConnection*>(data);
  if (std::strcmp(interface, org_kde_kwin_fake_input_interface.name) == 0 &&
      version >= kFakeInputVersion && self->fakeInput_ == nullptr) {
    self->fakeInput_ = static_cast<org_kde_kwin_fake_input*>(
        wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, kFakeInputVersion));
  } else if (std::strcmp(interface, wl_seat_interface.name) == 0 && self->seat == nullptr) {
    self->seatVersion = std::min(version, 5u);
    self->seat = static_cast<wl_seat*>(
        wl_registry_bind(registry, name, &wl_seat_interface, self->seatVersion));
  }
}

std::unique_ptr<KdeConnection> KdeConnection::open(bool forced, std::string& whyNot) {
  if (!forced && !inWaylandSession()) {
    whyNot = "no Wayland session: WAYLAND_DISPLAY is not set";
    return nullptr;
  }
  wl_log_set_handler_client(silence);
  std::unique_ptr<KdeConnection> self(new KdeConnection);
  self->display = wl_display_connect(nullptr);
  if (self->display == nullptr) {
    whyNot = "no Wayland compositor answers at WAYLAND_DISPLAY";
    return nullptr;
  }
  static const wl_registry_listener listener = {global, [](void*, wl_registry*, std::uint32_t) {}};
  self->registry = wl_display_get_registry(self->display);
  wl_registry_add_listener(self->registry, &listener, self.get());
  if (wl_display_roundtrip(self->display) < 0) {
    whyNot = "the Wayland compositor closed the connection";
    return nullptr;
  }
  if (self->fakeInput_ == nullptr) {
    // KWin does not announce fake input to an executable it does not trust, so an untrusted
    // agent cannot tell KWin from a compositor without it.
    whyNot = "the compositor offers no KWin fake input (KWin offers it only to an executable "
             "that a .desktop file trusts with it)";
    return nullptr;
  }
  org_kde_kwin_fake_input_authenticate(self->fakeInput_, "input-agent",
                                       "turns a controller's commands into input");
  if (self->seat != nullptr) self->keymap_.read(self->display, self->seat, self->seatVersion);
  if (!self->live()) {
    whyNot = "KWin closed the connection";
    return nullptr;
  }
  return self;
}

KdeConnection::~KdeConnection() {
  if (fakeInput_ != nullptr) wl_proxy_destroy(reinterpret_cast<wl_proxy*>(fakeInput_));
  if (seat != nullptr) {
    if (seatVersion >= WL_SEAT_RELEASE_SINCE_VERSION) {
      wl_seat_release(seat);
    } else {
      wl_seat_destroy(seat);
    }
  }
  if (registry != nullptr) wl_registry_destroy(registry);
  if (display != nullptr) wl_display_disconnect(display);
}

bool KdeConnection::live() const {
  return display != nullptr && wl_display_get_error(display) == 0;
}

void KdeConnection::flush() {
  while (live() && wl_display_flush(display) < 0 && errno == EAGAIN) {
    pollfd fd{wl_display_get_fd(display), POLLOUT, 0};
    if (poll(&fd, 1, 1000) <= 0 && errno != EINTR) return;
  }
}

void KdeConnection::dispatchPending() {
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

void KdeConnection::roundtrip() {
  if (live()) wl_display_roundtrip(display);
}
