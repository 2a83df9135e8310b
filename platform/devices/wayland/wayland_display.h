// The connection to a Wayland compositor, as both Wayland routes (wlroots, KDE) hold it: made
// only in a Wayland session (unless forced), with every libwayland message silenced (failures are
// silent), and the ways of moving requests and events the routes need. Once the connection has
// failed (the compositor is gone, or a protocol error) live() is false and nothing more is sent.
#pragma once

#include <wayland-client.h>

#include <memory>
#include <string>

class WaylandDisplay {
 public:
  // Connects to the compositor that WAYLAND_DISPLAY (or WAYLAND_SOCKET) names and waits for its
  // globals to be announced to `registryListener` (with `data`); null, with the reason, when
  // there is none. Without `forced`, no Wayland session (inWaylandSession) means nothing is tried.
  static std::unique_ptr<WaylandDisplay> connect(bool forced, const wl_registry_listener* listener,
                                                 void* data, std::string& whyNot);
  ~WaylandDisplay();
  WaylandDisplay(const WaylandDisplay&) = delete;
  WaylandDisplay& operator=(const WaylandDisplay&) = delete;

  wl_display* get() const { return display; }
  wl_registry* registry() const { return registry_; }
  bool live() const;

  // Writes every request sent so far, waiting while the compositor's socket is full.
  void flush();
  // Handles whatever the compositor has sent meanwhile, without waiting.
  void dispatchPending();
  // Waits until the compositor has processed every request sent so far.
  void roundtrip();
  // What a route does at the end of each line: flush(), then dispatchPending().
  void deliver() {
    flush();
    dispatchPending();
  }

 private:
  WaylandDisplay() = default;

  wl_display* display = nullptr;
  wl_registry* registry_ = nullptr;
};
