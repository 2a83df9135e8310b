// wlroots: the virtual keyboard (see virtual_keyboard.h).
#include "platform/wlroots/virtual_keyboard.h"

#include <linux/input-event-codes.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>

#include "platform/x11/key_table.h"

namespace {

// X keycodes are Linux input codes plus 8.
constexpr std::uint32_t kEvdevOffset = 8;

struct Modifier {
  CGEventFlags mask;
  std::uint32_t press;       // the key pressed for the flag
  std::uint32_t holders[2];  // keys that, held, already give the modifier
};

constexpr Modifier kModifiers[] = {
    {kCGEventFlagMaskShift, KEY_LEFTSHIFT, {KEY_LEFTSHIFT, KEY_RIGHTSHIFT}},
    {kCGEventFlagMaskControl, KEY_LEFTCTRL, {KEY_LEFTCTRL, KEY_RIGHTCTRL}},
    {kCGEventFlagMaskAlternate, KEY_LEFTALT, {KEY_LEFTALT, KEY_RIGHTALT}},
    {kCGEventFlagMaskCommand, KEY_LEFTMETA, {KEY_LEFTMETA, KEY_RIGHTMETA}},
};

std::uint32_t now() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<std::uint32_t>(static_cast<std::uint64_t>(ts.tv_sec) * 1000 +
                                    static_cast<std::uint64_t>(ts.tv_nsec) / 1000000);
}

}  // namespace

std::unique_ptr<VirtualKeyboard> VirtualKeyboard::make(WaylandConnection& connection) {
  std::unique_ptr<xkb_context, ContextUnref> context(xkb_context_new(XKB_CONTEXT_NO_FLAGS));
  if (!context) return nullptr;
  xkb_context_set_log_level(context.get(), XKB_LOG_LEVEL_CRITICAL);
  std::optional<AgentKeymap> keymap = AgentKeymap::make(context.get(), connection.seatKeymap());
  if (!keymap) return nullptr;
  std::unique_ptr<VirtualKeyboard> self(new VirtualKeyboard(connection, std::move(*keymap)));
  self->context = std::move(context);
  std::string text = self->keymap.text();
  self->compiled.reset(xkb_keymap_new_from_buffer(self->context.get(), text.data(), text.size() - 1,
                                                  XKB_KEYMAP_FORMAT_TEXT_V1,
                                                  XKB_KEYMAP_COMPILE_NO_FLAGS));
  if (!self->compiled) return nullptr;
  self->state.reset(xkb_state_new(self->compiled.get()));
  if (!self->state) return nullptr;
  self->keyboard.reset(zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(
      connection.keyboardManager(), connection.seat()));
  self->upload();
  return self;
}

VirtualKeyboard::VirtualKeyboard(WaylandConnection& connection, AgentKeymap keymap)
    : connection(connection), keymap(std::move(keymap)) {}

VirtualKeyboard::~VirtualKeyboard() { releaseKeys(); }

// The keymap travels as a file: a sealed-off memory file that the request carries (libwayland
// duplicates the descriptor when the request is queued, so ours is closed at once).
void VirtualKeyboard::upload() {
  if (!connection.live()) return;
  const std::string text = keymap.text();
  const int fd = memfd_create("input-agent-keymap", MFD_CLOEXEC);
  if (fd < 0) return;
  std::size_t written = 0;
  while (written < text.size()) {
    const ssize_t n = write(fd, text.data() + written, text.size() - written);
    if (n <= 0) break;
    written += static_cast<std::size_t>(n);
  }
  if (written == text.size()) {
    zwp_virtual_keyboard_v1_keymap(keyboard.get(), WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd,
                                   static_cast<std::uint32_t>(text.size()));
  }
  close(fd);
}

void VirtualKeyboard::sendKey(std::uint32_t linuxCode, bool press) {
  if (linuxCode >= pressed.size()) return;
  pressed[linuxCode] = press;
  xkb_state_update_key(state.get(), linuxCode + kEvdevOffset, press ? XKB_KEY_DOWN : XKB_KEY_UP);
  if (!connection.live()) return;
  zwp_virtual_keyboard_v1_key(
      keyboard.get(), now(), linuxCode,
      press ? WL_KEYBOARD_KEY_STATE_PRESSED : WL_KEYBOARD_KEY_STATE_RELEASED);
  sendModifiers(false);
}

void VirtualKeyboard::sendModifiers(bool always) {
  const xkb_mod_mask_t depressed = xkb_state_serialize_mods(state.get(), XKB_STATE_MODS_DEPRESSED);
  const xkb_mod_mask_t latched = xkb_state_serialize_mods(state.get(), XKB_STATE_MODS_LATCHED);
  const xkb_mod_mask_t locked = xkb_state_serialize_mods(state.get(), XKB_STATE_MODS_LOCKED);
  const xkb_layout_index_t group =
      xkb_state_serialize_layout(state.get(), XKB_STATE_LAYOUT_EFFECTIVE);
  if (!always && depressed == sentDepressed && latched == sentLatched && locked == sentLocked &&
      group == sentGroup) {
    return;
  }
  sentDepressed = depressed;
  sentLatched = latched;
  sentLocked = locked;
  sentGroup = group;
  if (connection.live()) {
    zwp_virtual_keyboard_v1_modifiers(keyboard.get(), depressed, latched, locked, group);
  }
}

void VirtualKeyboard::pressKey(CGKeyCode virtualKey, bool down, CGEventFlags flags) {
  const PhysicalKey* key = findPhysicalKey(virtualKey);
  if (key == nullptr) return;
  const std::uint32_t code = key->linuxCode;
  const auto added = std::find_if(addedModifiers.begin(), addedModifiers.end(),
                                  [code](const auto& entry) { return entry.first == code; });
  if (!down) {
    sendKey(code, false);
    if (added != addedModifiers.end()) {
      const std::vector<std::uint32_t> modifiers = std::move(added->second);
      addedModifiers.erase(added);
      for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it) sendKey(*it, false);
    }
    return;
  }
  std::vector<std::uint32_t> modifiers;
  for (const Modifier& modifier : kModifiers) {
    if ((flags & modifier.mask) == 0) continue;
    const bool given =
        std::any_of(std::begin(modifier.holders), std::end(modifier.holders),
                    [&](std::uint32_t holder) { return holder == code || held(holder); });
    if (given) continue;
    sendKey(modifier.press, true);
    modifiers.push_back(modifier.press);
  }
  sendKey(code, true);
  if (modifiers.empty()) return;
  if (added != addedModifiers.end()) {
    added->second.insert(added->second.end(), modifiers.begin(), modifiers.end());
  } else {
    addedModifiers.emplace_back(code, std::move(modifiers));
  }
}

void VirtualKeyboard::typeText(std::u32string_view text) {
  if (keymap.spareCount() == 0) return;
  for (const char32_t scalar : text) {
    const xkb_keysym_t keysym = keysymForScalar(scalar);
    if (keysym == XKB_KEY_NoSymbol) continue;
    std::size_t slot = 0;
    while (slot < keymap.spareCount() && keymap.boundTo(slot) != keysym) ++slot;
    if (slot == keymap.spareCount()) {
      slot = nextSpare;
      nextSpare = (nextSpare + 1) % keymap.spareCount();
      keymap.bind(slot, keysym);
      upload();
      sendModifiers(true);
    }
    const std::uint32_t code = keymap.spareKeycode(slot) - kEvdevOffset;
    if (!connection.live()) return;
    zwp_virtual_keyboard_v1_key(keyboard.get(), now(), code, WL_KEYBOARD_KEY_STATE_PRESSED);
    zwp_virtual_keyboard_v1_key(keyboard.get(), now(), code, WL_KEYBOARD_KEY_STATE_RELEASED);
  }
}

void VirtualKeyboard::releaseKeys() {
  addedModifiers.clear();
  for (std::uint32_t code = 0; code < pressed.size(); ++code) {
    if (pressed[code]) sendKey(code, false);
  }
}
