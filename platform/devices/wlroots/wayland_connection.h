// wlroots: the connection to the compositor and the globals the route uses: the seat, the
// virtual pointer and virtual keyboard managers, and the outputs with their logical geometry
// (through xdg-output where the compositor has it), kept up to date as outputs come, go and
// change. Also reads the seat's current keymap once, where the seat has a keyboard.
//
// The connection itself is a WaylandDisplay: failures are silent, and once it has failed live()
// is false and nothing more is sent.
#pragma once

#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include "platform/devices/wayland/seat_keymap.h"
#include "platform/devices/wayland/wayland_display.h"
#include "platform/devices/wlroots/output_layout.h"
#include "platform/devices/wlroots/wayland_handles.h"
#include "virtual-keyboard-unstable-v1-client-protocol.h"
#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"
#include "xdg-output-unstable-v1-client-protocol.h"

class WaylandConnection {
 public:
  // Connects to the compositor that WAYLAND_DISPLAY (or WAYLAND_SOCKET) names; null, with the
  // reason, when there is none, or it lacks the seat or either virtual device manager. Without
  // `forced`, no Wayland session (inWaylandSession) means no connection is tried. Once it has
  // returned, outputs() holds the geometry the compositor reported for every output it had.
  static std::unique_ptr<WaylandConnection> open(bool forced, std::string& whyNot);
  ~WaylandConnection();
  WaylandConnection(const WaylandConnection&) = delete;
  WaylandConnection& operator=(const WaylandConnection&) = delete;

  bool live() const { return display->live(); }
  WaylandDisplay& compositor() const { return *display; }
  wl_seat* seat() const { return seat_.get(); }
  zwlr_virtual_pointer_manager_v1* pointerManager() const { return pointerManager_.get(); }
  zwp_virtual_keyboard_manager_v1* keyboardManager() const { return keyboardManager_.get(); }
  // The seat's keymap text when it could be read, else empty.
  const std::string& seatKeymap() const { return seatKeymap_.text(); }
  // The outputs' logical rectangles, as last reported; valid until the next call.
  const std::vector<OutputRect>& outputs();

  struct Output;  // one wl_output and its xdg-output

 private:
  WaylandConnection() = default;
  static void global(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
                     std::uint32_t version);
  static void globalRemove(void* data, wl_registry* registry, std::uint32_t name);
  void addOutput(wl_registry* registry, std::uint32_t name, std::uint32_t version);

  std::unique_ptr<WaylandDisplay> display;  // first made, last gone
  Proxy<wl_seat> seat_;
  std::uint32_t seatVersion = 0;
  Proxy<zwlr_virtual_pointer_manager_v1> pointerManager_;
  Proxy<zwp_virtual_keyboard_manager_v1> keyboardManager_;
  Proxy<zxdg_output_manager_v1> xdgOutputManager;
  std::list<Output> outputList;
  std::vector<OutputRect> rects;  // outputs()'s answer, kept to reuse its memory
  SeatKeymap seatKeymap_;
};
