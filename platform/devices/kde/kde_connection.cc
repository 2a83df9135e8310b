// KDE Plasma: the connection to KWin (see kde_connection.h).
#include "platform/devices/kde/kde_connection.h"

#include <algorithm>
#include <cstring>

namespace {

// Fake input of version 4 has absolute motion (3) and keys (4).
constexpr std::uint32_t kFakeInputVersion = 4;

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
  static const wl_registry_listener listener = {global, [](void*, wl_registry*, std::uint32_t) {}};
  std::unique_ptr<KdeConnection> self(new KdeConnection);
  self->display = WaylandDisplay::connect(forced, &listener, self.get(), whyNot);
  if (!self->display) return nullptr;
  if (self->fakeInput_ == nullptr) {
    // KWin does not announce fake input to an executable it does not trust, so an untrusted
    // agent cannot tell KWin from a compositor without it.
    whyNot =
        "the compositor offers no KWin fake input (KWin offers it only to an executable "
        "that a .desktop file trusts with it)";
    return nullptr;
  }
  org_kde_kwin_fake_input_authenticate(self->fakeInput_, "input-agent",
                                       "turns a controller's commands into input");
  if (self->seat != nullptr) {
    self->keymap_.read(self->display->get(), self->seat, self->seatVersion);
  }
  if (!self->live()) {
    whyNot = "KWin closed the connection";
    return nullptr;
  }
  return self;
}

KdeConnection::~KdeConnection() {
  // The proxies go before the connection (the member, after this body).
  if (fakeInput_ != nullptr) wl_proxy_destroy(reinterpret_cast<wl_proxy*>(fakeInput_));
  if (seat != nullptr) {
    if (seatVersion >= WL_SEAT_RELEASE_SINCE_VERSION) {
      wl_seat_release(seat);
    } else {
      wl_seat_destroy(seat);
    }
  }
}
