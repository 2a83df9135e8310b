/* The reference for bench/wayland: the least a program can do per line with the wlroots virtual
 * pointer and virtual keyboard and still deliver each line's input at once. Reads stdin until
 * its end:
 *
 *   M x y     motion_absolute to (x, y) over the first output's size, a frame, a flush (which
 *             waits while the compositor's socket is full)
 *   U hex     a tap of Unicode scalar hex: bound to the next keycode in turn (9 to 255) in a
 *             small keymap of one-level keys, uploaded before the tap, then a flush
 *
 * Anything else is skipped.
 */
#define _GNU_SOURCE /* memfd_create */
#include <errno.h>
#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <time.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include "virtual-keyboard-unstable-v1-client-protocol.h"
#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

static struct wl_seat* seat;
static struct wl_output* output;
static struct zwlr_virtual_pointer_manager_v1* pointers;
static struct zwp_virtual_keyboard_manager_v1* keyboards;
static int width, height;

static void global(void* data, struct wl_registry* registry, uint32_t name, const char* interface,
                   uint32_t version) {
  (void)data;
  (void)version;
  if (strcmp(interface, wl_seat_interface.name) == 0 && !seat) {
    seat = wl_registry_bind(registry, name, &wl_seat_interface, 1);
  } else if (strcmp(interface, wl_output_interface.name) == 0 && !output) {
    output = wl_registry_bind(registry, name, &wl_output_interface, 1);
  } else if (strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0) {
    pointers = wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1);
  } else if (strcmp(interface, zwp_virtual_keyboard_manager_v1_interface.name) == 0) {
    keyboards = wl_registry_bind(registry, name, &zwp_virtual_keyboard_manager_v1_interface, 1);
  }
}
static void globalRemove(void* data, struct wl_registry* registry, uint32_t name) {
  (void)data;
  (void)registry;
  (void)name;
}
static const struct wl_registry_listener registryListener = {global, globalRemove};

static void geometry(void* d, struct wl_output* o, int32_t x, int32_t y, int32_t pw, int32_t ph,
                     int32_t s, const char* make, const char* model, int32_t t) {
  (void)d, (void)o, (void)x, (void)y, (void)pw, (void)ph, (void)s, (void)make, (void)model, (void)t;
}
static void mode(void* d, struct wl_output* o, uint32_t flags, int32_t w, int32_t h, int32_t r) {
  (void)d, (void)o, (void)r;
  if (flags & WL_OUTPUT_MODE_CURRENT) width = w, height = h;
}
static void done(void* d, struct wl_output* o) { (void)d, (void)o; }
static void scale(void* d, struct wl_output* o, int32_t s) { (void)d, (void)o, (void)s; }
static void text(void* d, struct wl_output* o, const char* t) { (void)d, (void)o, (void)t; }
static const struct wl_output_listener outputListener = {geometry, mode, done, scale, text, text};

/* Writes every queued request, waiting while the compositor's socket is full. */
static void flush(struct wl_display* display) {
  while (wl_display_flush(display) < 0 && errno == EAGAIN) {
    struct pollfd fd = {wl_display_get_fd(display), POLLOUT, 0};
    poll(&fd, 1, -1);
  }
}

static uint32_t now(void) {
  struct timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return (uint32_t)(ts.tv_sec * 1000 + ts.tv_nsec / 1000000);
}

int main(void) {
  struct wl_display* display = wl_display_connect(NULL);
  if (!display) return 1;
  struct wl_registry* registry = wl_display_get_registry(display);
  wl_registry_add_listener(registry, &registryListener, NULL);
  wl_display_roundtrip(display);
  if (!seat || !output || !pointers || !keyboards) return 1;
  wl_output_add_listener(output, &outputListener, NULL);
  wl_display_roundtrip(display);

  enum { kFirst = 9, kSlots = 255 - 9 + 1 };
  uint32_t bound[kSlots] = {0};
  char* keymapText = malloc(kSlots * 128 + 1024);

  struct zwlr_virtual_pointer_v1* pointer =
      zwlr_virtual_pointer_manager_v1_create_virtual_pointer(pointers, seat);
  struct zwp_virtual_keyboard_v1* keyboard =
      zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(keyboards, seat);

  int nextSlot = 0;
  for (int upload = 1;; upload = 0) {
    char line[256];
    int slot = -1;
    unsigned x = 0, y = 0, scalar = 0;
    if (!upload) {
      if (!fgets(line, sizeof line, stdin)) break;
      if (sscanf(line, "M %u %u", &x, &y) == 2) {
        zwlr_virtual_pointer_v1_motion_absolute(pointer, now(), x, y, width, height);
        zwlr_virtual_pointer_v1_frame(pointer);
        flush(display);
        continue;
      }
      if (sscanf(line, "U %x", &scalar) != 1) continue;
      slot = nextSlot;
      nextSlot = (nextSlot + 1) % kSlots;
      bound[slot] = xkb_utf32_to_keysym(scalar);
    }
    /* The keymap: one-level keys for the bound keycodes. */
    char* out = keymapText;
    out += sprintf(out, "xkb_keymap {\nxkb_keycodes \"r\" {\nminimum = 8;\nmaximum = 255;\n");
    for (int i = 0; i < kSlots; ++i) {
      if (bound[i]) out += sprintf(out, "<T%d> = %d;\n", kFirst + i, kFirst + i);
    }
    out += sprintf(out, "};\nxkb_types \"r\" {\ntype \"ONE_LEVEL\" {\nmodifiers = none;\n"
                        "level_name[Level1] = \"Any\";\n};\n};\nxkb_compatibility \"r\" {\n};\n"
                        "xkb_symbols \"r\" {\n");
    for (int i = 0; i < kSlots; ++i) {
      char keysym[64];
      if (bound[i] && xkb_keysym_get_name(bound[i], keysym, sizeof keysym) > 0) {
        out += sprintf(out, "key <T%d> { [ %s ] };\n", kFirst + i, keysym);
      }
    }
    out += sprintf(out, "};\n};\n");
    const size_t size = (size_t)(out - keymapText) + 1;
    int fd = memfd_create("reference-keymap", MFD_CLOEXEC);
    if (fd < 0 || write(fd, keymapText, size) != (ssize_t)size) return 1;
    zwp_virtual_keyboard_v1_keymap(keyboard, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd, size);
    close(fd);
    if (slot >= 0) {
      zwp_virtual_keyboard_v1_key(keyboard, now(), kFirst + slot - 8, WL_KEYBOARD_KEY_STATE_PRESSED);
      zwp_virtual_keyboard_v1_key(keyboard, now(), kFirst + slot - 8, WL_KEYBOARD_KEY_STATE_RELEASED);
    } else {
      /* The devices take part only once the compositor has added them. */
      wl_display_roundtrip(display);
    }
    flush(display);
  }
  zwp_virtual_keyboard_v1_destroy(keyboard);
  zwlr_virtual_pointer_v1_destroy(pointer);
  wl_display_roundtrip(display);
  wl_display_disconnect(display);
  return 0;
}
