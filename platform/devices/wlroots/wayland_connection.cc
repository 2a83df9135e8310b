// wlroots: the compositor connection, its globals and the output layout (see
// wayland_connection.h).
#include "platform/devices/wlroots/wayland_connection.h"

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdlib>
#include <cstring>

struct WaylandConnection::Output {
  std::uint32_t name = 0;
  Proxy<wl_output> output;
  Proxy<zxdg_output_v1> xdgOutput;
  OutputRect fromOutput;    // wl_output's position and current mode
  OutputRect fromXdg;       // xdg-output's logical position and size
  bool hasXdgSize = false;  // whether xdg-output reported a size
  bool hasXdgPosition = false;

  OutputRect rect() const {
    OutputRect rect = fromOutput;
    if (hasXdgPosition) {
      rect.x = fromXdg.x;
      rect.y = fromXdg.y;
    }
    if (hasXdgSize) {
      rect.width = fromXdg.width;
      rect.height = fromXdg.height;
    }
    return rect;
  }
};

namespace {

// Listeners: only the events that carry geometry do anything.
void outputGeometry(void* data, wl_output*, std::int32_t x, std::int32_t y, std::int32_t,
                    std::int32_t, std::int32_t, const char*, const char*, std::int32_t) {
  auto* output = static_cast<WaylandConnection::Output*>(data);
  output->fromOutput.x = x;
  output->fromOutput.y = y;
}
void outputMode(void* data, wl_output*, std::uint32_t flags, std::int32_t width,
                std::int32_t height, std::int32_t) {
  if ((flags & WL_OUTPUT_MODE_CURRENT) == 0) return;
  auto* output = static_cast<WaylandConnection::Output*>(data);
  output->fromOutput.width = width;
  output->fromOutput.height = height;
}
void outputDone(void*, wl_output*) {}
void outputScale(void*, wl_output*, std::int32_t) {}
void outputText(void*, wl_output*, const char*) {}
const wl_output_listener kOutputListener = {outputGeometry, outputMode, outputDone,
                                            outputScale,    outputText, outputText};

void xdgPosition(void* data, zxdg_output_v1*, std::int32_t x, std::int32_t y) {
  auto* output = static_cast<WaylandConnection::Output*>(data);
  output->fromXdg.x = x;
  output->fromXdg.y = y;
  output->hasXdgPosition = true;
}
void xdgSize(void* data, zxdg_output_v1*, std::int32_t width, std::int32_t height) {
  auto* output = static_cast<WaylandConnection::Output*>(data);
  output->fromXdg.width = width;
  output->fromXdg.height = height;
  output->hasXdgSize = true;
}
void xdgDone(void*, zxdg_output_v1*) {}
void xdgName(void*, zxdg_output_v1*, const char*) {}
void xdgDescription(void*, zxdg_output_v1*, const char*) {}
const zxdg_output_v1_listener kXdgOutputListener = {xdgPosition, xdgSize, xdgDone, xdgName,
                                                    xdgDescription};

}  // namespace

void WaylandConnection::global(void* data, wl_registry* registry, std::uint32_t name,
                               const char* interface, std::uint32_t version) {
  auto* self = static_cast<WaylandConnection*>(data);
  const auto bind = [&](const wl_interface* type, std::uint32_t highest) {
    return wl_registry_bind(registry, name, type, std::min(version, highest));
  };
  if (std::strcmp(interface, wl_seat_interface.name) == 0 && !self->seat_) {
    self->seatVersion = std::min(version, 5u);
    self->seat_.reset(static_cast<wl_seat*>(bind(&wl_seat_interface, 5)));
  } else if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0) {
    self->pointerManager_.reset(static_cast<zwlr_virtual_pointer_manager_v1*>(
        bind(&zwlr_virtual_pointer_manager_v1_interface, 2)));
  } else if (std::strcmp(interface, zwp_virtual_keyboard_manager_v1_interface.name) == 0) {
    self->keyboardManager_.reset(static_cast<zwp_virtual_keyboard_manager_v1*>(
        bind(&zwp_virtual_keyboard_manager_v1_interface, 1)));
  } else if (std::strcmp(interface, zxdg_output_manager_v1_interface.name) == 0) {
    self->xdgOutputManager.reset(
        static_cast<zxdg_output_manager_v1*>(bind(&zxdg_output_manager_v1_interface, 3)));
    for (Output& output : self->outputList) {
      if (output.xdgOutput) continue;
      output.xdgOutput.reset(
          zxdg_output_manager_v1_get_xdg_output(self->xdgOutputManager.get(), output.output.get()));
      zxdg_output_v1_add_listener(output.xdgOutput.get(), &kXdgOutputListener, &output);
    }
  } else if (std::strcmp(interface, wl_output_interface.name) == 0) {
    self->addOutput(registry, name, version);
  }
}

void WaylandConnection::globalRemove(void* data, wl_registry*, std::uint32_t name) {
  auto* self = static_cast<WaylandConnection*>(data);
  self->outputList.remove_if([name](const Output& output) { return output.name == name; });
}

void WaylandConnection::addOutput(wl_registry* registry, std::uint32_t name,
                                  std::uint32_t version) {
  Output& output = outputList.emplace_back();
  output.name = name;
  output.output.reset(static_cast<wl_output*>(
      wl_registry_bind(registry, name, &wl_output_interface, std::min(version, 2u))));
  wl_output_add_listener(output.output.get(), &kOutputListener, &output);
  if (xdgOutputManager) {
    output.xdgOutput.reset(
        zxdg_output_manager_v1_get_xdg_output(xdgOutputManager.get(), output.output.get()));
    zxdg_output_v1_add_listener(output.xdgOutput.get(), &kXdgOutputListener, &output);
  }
}

std::unique_ptr<WaylandConnection> WaylandConnection::open(bool forced, std::string& whyNot) {
  static const wl_registry_listener listener = {global, globalRemove};
  std::unique_ptr<WaylandConnection> self(new WaylandConnection);
  self->display = WaylandDisplay::connect(forced, &listener, self.get(), whyNot);
  if (!self->display) return nullptr;
  if (!self->pointerManager_ || !self->keyboardManager_) {
    whyNot = "the compositor offers no wlroots virtual pointer and virtual keyboard";
    return nullptr;
  }
  if (!self->seat_) {
    whyNot = "the compositor offers no seat";
    return nullptr;
  }
  // The read's first roundtrip also brings the outputs' geometry, which the compositor sends in
  // answer to the binds made while the globals came, so that the first motion after READY is
  // placed on the layout as the compositor has it. (A roundtrip of its own before the read would
  // lose the seat's capabilities, which come in it before the read listens for them.)
  self->seatKeymap_.read(self->display->get(), self->seat_.get(), self->seatVersion);
  if (!self->live()) {
    whyNot = "the Wayland compositor closed the connection";
    return nullptr;
  }
  return self;
}

WaylandConnection::~WaylandConnection() = default;

const std::vector<OutputRect>& WaylandConnection::outputs() {
  // Made afresh each time (the listeners change the outputs in place), without an allocation
  // per motion.
  rects.clear();
  for (const Output& output : outputList) rects.push_back(output.rect());
  return rects;
}
