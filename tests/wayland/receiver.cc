// wayland-receiver: a Wayland client of the tests' own that reports the input it receives, one
// line per event on standard output, in global compositor coordinates.
//
// It puts one full-screen window on every output (xdg-shell, white shm buffers) and prints
// "ready" once all are drawn. Then, per event:
//   motion X Y            pointer enter or motion, global coordinates (surface + output origin)
//   button CODE 1|0       Linux button code, pressed or released, at the event's time in ms:
//                         "button 272 1 t=1234"
//   axis A VALUE          axis 0 vertical, 1 horizontal, the value in pixels
//   discrete A N          the notches of the next axis event
//   source S              the axis source of the frame (0 wheel, 1 finger, 2 continuous)
//   key CODE 1|0 TEXT     Linux key code, pressed or released, and what it types ("-" for none)
//   mods NAMES            the effective modifiers after a change: "mods Shift+Control" or "mods -"
//   keymap                a new keymap arrived
// Standard output is flushed after every batch of events that the compositor sent together, so
// a flood of events costs one write per batch and not one per line.
#include <fcntl.h>
#include <linux/input-event-codes.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "xdg-output-unstable-v1-client-protocol.h"
#include "xdg-shell-client-protocol.h"

namespace {

struct Window;

struct Output {
  wl_output* output = nullptr;
  zxdg_output_v1* xdg = nullptr;
  int x = 0, y = 0;
  int width = 0, height = 0;
  Window* window = nullptr;
};

struct Window {
  Output* output = nullptr;
  wl_surface* surface = nullptr;
  xdg_surface* xdgSurface = nullptr;
  xdg_toplevel* toplevel = nullptr;
  int width = 0, height = 0;
  bool drawn = false;
};

struct App {
  wl_display* display = nullptr;
  wl_compositor* compositor = nullptr;
  wl_shm* shm = nullptr;
  xdg_wm_base* wm = nullptr;
  wl_seat* seat = nullptr;
  zxdg_output_manager_v1* xdgOutputs = nullptr;
  std::vector<Output*> outputs;
  std::vector<Window*> windows;
  Window* pointerWindow = nullptr;
  xkb_context* xkb = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
  xkb_keymap* keymap = nullptr;
  xkb_state* state = nullptr;
} app;

void say(const char* format, ...) __attribute__((format(printf, 1, 2)));
void say(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vprintf(format, args);
  va_end(args);
  std::putchar('\n');
}

Window* windowOf(wl_surface* surface) {
  for (Window* window : app.windows) {
    if (window->surface == surface) return window;
  }
  return nullptr;
}

void reportPosition(wl_fixed_t sx, wl_fixed_t sy) {
  if (app.pointerWindow == nullptr) return;
  const double x = wl_fixed_to_double(sx) + app.pointerWindow->output->x;
  const double y = wl_fixed_to_double(sy) + app.pointerWindow->output->y;
  say("motion %g %g", x, y);
}

// Buffers: white, ARGB, in a memory file.
void draw(Window* window) {
  const int stride = window->width * 4;
  const int size = stride * window->height;
  const int fd = memfd_create("receiver", MFD_CLOEXEC);
  if (fd < 0 || ftruncate(fd, size) != 0) return;
  void* pixels = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  std::memset(pixels, 0xff, size);
  munmap(pixels, size);
  wl_shm_pool* pool = wl_shm_create_pool(app.shm, fd, size);
  wl_buffer* buffer = wl_shm_pool_create_buffer(pool, 0, window->width, window->height, stride,
                                                WL_SHM_FORMAT_XRGB8888);
  wl_shm_pool_destroy(pool);
  close(fd);
  wl_surface_attach(window->surface, buffer, 0, 0);
  wl_surface_damage(window->surface, 0, 0, window->width, window->height);
  wl_surface_commit(window->surface);
  window->drawn = true;
}

void toplevelConfigure(void* data, xdg_toplevel*, int32_t width, int32_t height, wl_array*) {
  auto* window = static_cast<Window*>(data);
  if (width > 0 && height > 0) {
    window->width = width;
    window->height = height;
  }
}
void toplevelClose(void*, xdg_toplevel*) {}
void toplevelBounds(void*, xdg_toplevel*, int32_t, int32_t) {}
void toplevelCapabilities(void*, xdg_toplevel*, wl_array*) {}
const xdg_toplevel_listener kToplevelListener = {toplevelConfigure, toplevelClose, toplevelBounds,
                                                 toplevelCapabilities};

void surfaceConfigure(void* data, xdg_surface* surface, uint32_t serial) {
  auto* window = static_cast<Window*>(data);
  xdg_surface_ack_configure(surface, serial);
  if (window->width == 0) {
    window->width = 64;
    window->height = 64;
  }
  draw(window);
}
const xdg_surface_listener kSurfaceListener = {surfaceConfigure};

void ping(void*, xdg_wm_base* wm, uint32_t serial) { xdg_wm_base_pong(wm, serial); }
const xdg_wm_base_listener kWmListener = {ping};

void xdgPosition(void* data, zxdg_output_v1*, int32_t x, int32_t y) {
  auto* output = static_cast<Output*>(data);
  output->x = x;
  output->y = y;
}
void xdgSize(void* data, zxdg_output_v1*, int32_t width, int32_t height) {
  auto* output = static_cast<Output*>(data);
  output->width = width;
  output->height = height;
}
void xdgDone(void*, zxdg_output_v1*) {}
void xdgText(void*, zxdg_output_v1*, const char*) {}
const zxdg_output_v1_listener kXdgListener = {xdgPosition, xdgSize, xdgDone, xdgText, xdgText};

// Pointer.
void pointerEnter(void*, wl_pointer*, uint32_t, wl_surface* surface, wl_fixed_t sx, wl_fixed_t sy) {
  app.pointerWindow = windowOf(surface);
  reportPosition(sx, sy);
}
void pointerLeave(void*, wl_pointer*, uint32_t, wl_surface*) { app.pointerWindow = nullptr; }
void pointerMotion(void*, wl_pointer*, uint32_t, wl_fixed_t sx, wl_fixed_t sy) {
  reportPosition(sx, sy);
}
void pointerButton(void*, wl_pointer*, uint32_t, uint32_t time, uint32_t button, uint32_t state) {
  say("button %u %u t=%u", button, state, time);
}
void pointerAxis(void*, wl_pointer*, uint32_t, uint32_t axis, wl_fixed_t value) {
  say("axis %u %g", axis, wl_fixed_to_double(value));
}
void pointerFrame(void*, wl_pointer*) {}
void pointerAxisSource(void*, wl_pointer*, uint32_t source) { say("source %u", source); }
void pointerAxisStop(void*, wl_pointer*, uint32_t, uint32_t) {}
void pointerAxisDiscrete(void*, wl_pointer*, uint32_t axis, int32_t discrete) {
  say("discrete %u %d", axis, discrete);
}
void pointerAxis120(void*, wl_pointer*, uint32_t, int32_t) {}
#ifdef WL_POINTER_AXIS_RELATIVE_DIRECTION_SINCE_VERSION
void pointerAxisRelativeDirection(void*, wl_pointer*, uint32_t, uint32_t) {}
#endif
// Every event of the wl_pointer that libwayland's headers declare: Wayland 1.22 added
// axis_relative_direction (Debian 13 has it, Debian 12 not). The seat is bound at version 5, so
// the events of later versions never come; they are listed so that the listener is complete.
const wl_pointer_listener kPointerListener = {
    pointerEnter,
    pointerLeave,
    pointerMotion,
    pointerButton,
    pointerAxis,
    pointerFrame,
    pointerAxisSource,
    pointerAxisStop,
    pointerAxisDiscrete,
    pointerAxis120,
#ifdef WL_POINTER_AXIS_RELATIVE_DIRECTION_SINCE_VERSION
    pointerAxisRelativeDirection,
#endif
};

// Keyboard.
void keyboardKeymap(void*, wl_keyboard*, uint32_t, int32_t fd, uint32_t size) {
  void* text = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
  close(fd);
  if (text == MAP_FAILED) return;
  xkb_keymap* keymap =
      xkb_keymap_new_from_string(app.xkb, static_cast<const char*>(text), XKB_KEYMAP_FORMAT_TEXT_V1,
                                 XKB_KEYMAP_COMPILE_NO_FLAGS);
  munmap(text, size);
  if (keymap == nullptr) return;
  if (app.state) xkb_state_unref(app.state);
  if (app.keymap) xkb_keymap_unref(app.keymap);
  app.keymap = keymap;
  app.state = xkb_state_new(keymap);
  say("keymap");
}
void keyboardEnter(void*, wl_keyboard*, uint32_t, wl_surface*, wl_array*) {}
void keyboardLeave(void*, wl_keyboard*, uint32_t, wl_surface*) {}
void keyboardKey(void*, wl_keyboard*, uint32_t, uint32_t, uint32_t key, uint32_t state) {
  char text[64] = "-";
  if (app.state && state == WL_KEYBOARD_KEY_STATE_PRESSED) {
    if (xkb_state_key_get_utf8(app.state, key + 8, text, sizeof text) <= 0) std::strcpy(text, "-");
    // Control characters are shown by number, so that a line stays one line.
    if (static_cast<unsigned char>(text[0]) < 0x20 || text[0] == 0x7f) {
      std::snprintf(text, sizeof text, "U+%02X", static_cast<unsigned char>(text[0]));
    }
  }
  say("key %u %u %s", key, state, text);
}
void keyboardModifiers(void*, wl_keyboard*, uint32_t, uint32_t depressed, uint32_t latched,
                       uint32_t locked, uint32_t group) {
  if (!app.state) return;
  xkb_state_update_mask(app.state, depressed, latched, locked, 0, 0, group);
  std::string names;
  for (const char* name :
       {XKB_MOD_NAME_SHIFT, XKB_MOD_NAME_CTRL, XKB_MOD_NAME_ALT, XKB_MOD_NAME_LOGO}) {
    if (xkb_state_mod_name_is_active(app.state, name, XKB_STATE_MODS_EFFECTIVE) > 0) {
      if (!names.empty()) names += '+';
      names += name;
    }
  }
  say("mods %s", names.empty() ? "-" : names.c_str());
}
void keyboardRepeat(void*, wl_keyboard*, int32_t, int32_t) {}
const wl_keyboard_listener kKeyboardListener = {keyboardKeymap, keyboardEnter,     keyboardLeave,
                                                keyboardKey,    keyboardModifiers, keyboardRepeat};

void seatCapabilities(void*, wl_seat* seat, uint32_t) {
  static bool asked = false;
  if (asked) return;
  asked = true;
  wl_pointer_add_listener(wl_seat_get_pointer(seat), &kPointerListener, nullptr);
  wl_keyboard_add_listener(wl_seat_get_keyboard(seat), &kKeyboardListener, nullptr);
}
void seatName(void*, wl_seat*, const char*) {}
const wl_seat_listener kSeatListener = {seatCapabilities, seatName};

void global(void*, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
  if (std::strcmp(interface, wl_compositor_interface.name) == 0) {
    app.compositor =
        static_cast<wl_compositor*>(wl_registry_bind(registry, name, &wl_compositor_interface, 4));
  } else if (std::strcmp(interface, wl_shm_interface.name) == 0) {
    app.shm = static_cast<wl_shm*>(wl_registry_bind(registry, name, &wl_shm_interface, 1));
  } else if (std::strcmp(interface, xdg_wm_base_interface.name) == 0) {
    app.wm = static_cast<xdg_wm_base*>(wl_registry_bind(registry, name, &xdg_wm_base_interface, 1));
    xdg_wm_base_add_listener(app.wm, &kWmListener, nullptr);
  } else if (std::strcmp(interface, wl_seat_interface.name) == 0) {
    app.seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 5));
    wl_seat_add_listener(app.seat, &kSeatListener, nullptr);
  } else if (std::strcmp(interface, wl_output_interface.name) == 0) {
    auto* output = new Output;
    output->output =
        static_cast<wl_output*>(wl_registry_bind(registry, name, &wl_output_interface, 2));
    app.outputs.push_back(output);
  } else if (std::strcmp(interface, zxdg_output_manager_v1_interface.name) == 0) {
    app.xdgOutputs = static_cast<zxdg_output_manager_v1*>(
        wl_registry_bind(registry, name, &zxdg_output_manager_v1_interface, 2));
  }
}
void globalRemove(void*, wl_registry*, uint32_t) {}
const wl_registry_listener kRegistryListener = {global, globalRemove};

}  // namespace

int main() {
  // A test that reads the report only after the agent is done must not stall this window: a
  // window that stops reading its events is disconnected by the compositor.
  fcntl(STDOUT_FILENO, F_SETPIPE_SZ, 1 << 20);
  app.display = wl_display_connect(nullptr);
  if (app.display == nullptr) return 1;
  wl_registry_add_listener(wl_display_get_registry(app.display), &kRegistryListener, nullptr);
  wl_display_roundtrip(app.display);
  if (!app.compositor || !app.shm || !app.wm || !app.seat || !app.xdgOutputs ||
      app.outputs.empty()) {
    return 1;
  }
  for (Output* output : app.outputs) {
    output->xdg = zxdg_output_manager_v1_get_xdg_output(app.xdgOutputs, output->output);
    zxdg_output_v1_add_listener(output->xdg, &kXdgListener, output);
  }
  wl_display_roundtrip(app.display);
  for (Output* output : app.outputs) {
    auto* window = new Window;
    window->output = output;
    output->window = window;
    window->surface = wl_compositor_create_surface(app.compositor);
    window->xdgSurface = xdg_wm_base_get_xdg_surface(app.wm, window->surface);
    xdg_surface_add_listener(window->xdgSurface, &kSurfaceListener, window);
    window->toplevel = xdg_surface_get_toplevel(window->xdgSurface);
    xdg_toplevel_add_listener(window->toplevel, &kToplevelListener, window);
    xdg_toplevel_set_fullscreen(window->toplevel, output->output);
    wl_surface_commit(window->surface);
    app.windows.push_back(window);
  }
  // Ready once every window covers its output: drawn at the output's size.
  const auto allDrawn = [] {
    for (const Window* window : app.windows) {
      if (!window->drawn || window->width != window->output->width ||
          window->height != window->output->height) {
        return false;
      }
    }
    return true;
  };
  while (!allDrawn()) {
    if (wl_display_dispatch(app.display) < 0) return 1;
  }
  wl_display_roundtrip(app.display);
  say("ready");
  std::fflush(stdout);
  while (wl_display_dispatch(app.display) >= 0) std::fflush(stdout);
  return 0;
}
