// GNOME: a remote desktop session of mutter (org.gnome.Mutter.RemoteDesktop on the session bus),
// with a screen-cast stream of every monitor (org.gnome.Mutter.ScreenCast) linked to it, since
// mutter takes absolute pointer positions only relative to such a stream.
//
// The D-Bus library is GDBus, from Debian's GLib: mutter's own, well kept, and a plain C API
// that the agent's single loop can drive without exceptions; sdbus-c++ would add a C++ layer
// and a dependency for the same messages. GDBus writes messages from a worker thread of its own;
// everything the agent calls happens on the agent's thread. That thread starts after the agent
// has blocked its stop signals, and inherits the mask, so those still end the agent's wait.
//
// Opening waits until mutter has added every stream to PipeWire (its signal, with a time limit):
// before that, mutter places absolute motion off target. Input requests are sent without waiting
// for replies, in order; flush() writes them out, and the session's end waits until mutter has
// processed them (the session also ends when the connection does). Failures are silent: a request
// mutter refuses (a keysym that no key of the layout types) does nothing. GIO itself is loaded only
// when the route is tried (gio_library.h).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/devices/gnome/gio_handles.h"
#include "platform/events.h"

class RemoteDesktop {
 public:
  // Opens a session on the session bus; null, with the reason, when GIO cannot be loaded or
  // mutter's remote desktop is not there. Without `forced`, no Wayland session
  // (inWaylandSession) means nothing is tried.
  static std::unique_ptr<RemoteDesktop> open(bool forced, std::string& whyNot);
  ~RemoteDesktop();
  RemoteDesktop(const RemoteDesktop&) = delete;
  RemoteDesktop& operator=(const RemoteDesktop&) = delete;

  // Absolute motion in global (logical) coordinates: to the monitor that holds the point, or the
  // nearest pixel of the nearest monitor.
  void moveTo(CGPoint point);
  void button(std::uint32_t linuxButton, bool press);
  // Axis values, positive down and right, as one continuous axis event.
  void axis(double dx, double dy);
  void keycode(std::uint32_t linuxCode, bool press);
  void keysym(std::uint32_t keysym, bool press);

  // Writes every request sent since the last flush to the bus; nothing to do when none was.
  void flush();

  // One monitor's stream: its object path and its logical rectangle.
  struct Stream {
    std::string path;
    int x = 0, y = 0, width = 0, height = 0;
    bool added = false;
  };
  // The monitors' streams, with their place on the desktop.
  const std::vector<Stream>& monitors() const { return streams; }

 private:
  RemoteDesktop() = default;
  bool start(std::string& whyNot);
  void notify(const char* method, GVariant* parameters);

  MainContextPtr context;
  GObjectPtr<GDBusConnection> bus;
  std::string sessionPath;
  std::string screenCastPath;
  std::vector<Stream> streams;
  std::vector<unsigned> subscriptions;
  bool unflushed = false;
};
