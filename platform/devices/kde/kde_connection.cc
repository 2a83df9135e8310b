// KDE Plasma: the connection to KWin (see kde_connection.h).
#include "platform/devices/kde/kde_connection.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

// Fake input of version 4 has absolute motion (3) and keys (4).
constexpr std::uint32_t kFakeInputVersion = 4;

}  // namespace

void KdeConnection::global(void* data, wl_registry* registry, std::uint32_t name,
                           const char* interface, std::uint32_t version) {
  auto* self = static_cast<KdeConnection*>(data);
  if (std::strncmp(interface, "org_kde_", 8) == 0 && self->kdeInterface.empty()) {
    self->kdeInterface = interface;
  }
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
    whyNot = self->untrustedReason();
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

// KWin does not announce fake input to an executable it does not trust, so an untrusted agent
// cannot tell KWin from a compositor without it: it says what it can see.
std::string KdeConnection::untrustedReason() const {
  const char* desktop = std::getenv("XDG_CURRENT_DESKTOP");
  std::string seen;
  if (!kdeInterface.empty()) {
    seen = "the compositor announces KDE's " + kdeInterface;
  } else if (desktop != nullptr && std::strstr(desktop, "KDE") != nullptr) {
    seen = std::string("XDG_CURRENT_DESKTOP is ") + desktop;
  } else {
    return "the compositor offers no KWin fake input (org_kde_kwin_fake_input)";
  }
  char path[4096];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  const std::string self = length > 0 ? std::string(path, static_cast<std::size_t>(length))
                                      : std::string("the agent's full path");
  return "KWin refused fake input (" + seen +
         ", but no org_kde_kwin_fake_input to this executable): KWin gives it only to an "
         "executable that a .desktop file in KDE's application index trusts with it "
         "(X-KDE-Wayland-Interfaces=org_kde_kwin_fake_input) and names by its full path, here " +
         self +
         "; install the agent (the package, or cmake --install) so that input-agent.desktop "
         "naming it is in share/applications under a folder of XDG_DATA_DIRS, and restart the "
         "session's application index (kbuildsycoca) if KWin does not see it";
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
