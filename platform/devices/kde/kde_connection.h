// KDE Plasma: the connection to KWin and its fake input global (org_kde_kwin_fake_input,
// version 4: absolute motion, buttons, axis and keys). Also reads the seat's current keymap once,
// which text needs to find the keys of its characters.
//
// KWin offers fake input only to trusted clients (a .desktop file that lists the interface in
// X-KDE-Wayland-Interfaces, installed with the agent); to others the global is not announced,
// and the route is not taken. Every libwayland message is silenced: failures are silent. Once
// the connection has failed live() is false and nothing more is sent.
#pragma once

#include <wayland-client.h>

#include <memory>
#include <string>

#include "fake-input-client-protocol.h"
#include "platform/devices/wayland/seat_keymap.h"

class KdeConnection {
 public:
  // Connects to the compositor that WAYLAND_DISPLAY (or WAYLAND_SOCKET) names; null, with the
  // reason, when there is none or it offers no fake input of version 4. Without `forced`, no
  // Wayland session (inWaylandSession) means no connection is tried.
  static std::unique_ptr<KdeConnection> open(bool forced, std::string& whyNot);
  ~KdeConnection();
  KdeConnection(const KdeConnection&) = delete;
  KdeConnection& operator=(const KdeConnection&) = delete;

  bool live() const;
  org_kde_kwin_fake_input* fakeInput() const { return fakeInput_; }
  // The seat's keymap text when it could be read, else empty.
  const std::string& seatKeymap() const { return keymap_.text(); }

  // Writes every request sent so far, waiting while the compositor's socket is full.
  void flush();
  // Handles whatever the compositor has sent meanwhile, without waiting.
  void dispatchPending();
  // Waits until the compositor has processed every request sent so far.
  void roundtrip();

 private:
  KdeConnection() = default;
  static void global(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
                     std::uint32_t version);

  wl_display* display = nullptr;
  wl_registry* registry = nullptr;
  wl_seat* seat = nullptr;
  std::uint32_t seatVersion = 0;
  org_kde_kwin_fake_input* fakeInput_ = nullptr;
  SeatKeymap keymap_;
};
