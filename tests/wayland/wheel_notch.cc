// wayland-wheel-notch: turns a real mouse wheel in a wlroots compositor, for the wheel tests'
// yardstick. Each line "v N" or "h N" on standard input is N notches on the vertical or
// horizontal axis (positive down and right), sent as a wheel makes them through libinput: per
// notch an axis value of 15 with one discrete step, from a wheel source, in one frame. Answers
// "ok" once the compositor has taken them. The virtual pointer lives as long as the program.
#include <wayland-client.h>

#include <cstdint>
#include <cstdio>

#include "wayland/virtual_device_globals.h"

namespace {

// The axis value that libinput gives a compositor for one wheel notch.
constexpr int kNotchValue = 15;

}  // namespace

int main() {
  wl_display* display = wl_display_connect(nullptr);
  if (display == nullptr) return 1;
  const VirtualDeviceGlobals globals = bindVirtualDeviceGlobals(display);
  if (globals.seat == nullptr || globals.pointers == nullptr) return 1;
  zwlr_virtual_pointer_v1* pointer =
      zwlr_virtual_pointer_manager_v1_create_virtual_pointer(globals.pointers, globals.seat);
  wl_display_roundtrip(display);
  std::printf("ready\n");
  std::fflush(stdout);

  char line[64];
  std::uint32_t time = 1;
  while (std::fgets(line, sizeof line, stdin) != nullptr) {
    char axisName = 0;
    int notches = 0;
    if (std::sscanf(line, " %c %d", &axisName, &notches) != 2) continue;
    const std::uint32_t axis =
        axisName == 'h' ? WL_POINTER_AXIS_HORIZONTAL_SCROLL : WL_POINTER_AXIS_VERTICAL_SCROLL;
    const int step = notches < 0 ? -1 : 1;
    for (int i = 0; i != notches; i += step) {
      zwlr_virtual_pointer_v1_axis_source(pointer, WL_POINTER_AXIS_SOURCE_WHEEL);
      zwlr_virtual_pointer_v1_axis_discrete(pointer, time++, axis,
                                            wl_fixed_from_int(step * kNotchValue), step);
      zwlr_virtual_pointer_v1_frame(pointer);
    }
    wl_display_roundtrip(display);
    std::printf("ok\n");
    std::fflush(stdout);
  }
  zwlr_virtual_pointer_v1_destroy(pointer);
  wl_display_roundtrip(display);
  wl_display_disconnect(display);
  return 0;
}
