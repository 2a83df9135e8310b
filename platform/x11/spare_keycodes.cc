#include "platform/x11/spare_keycodes.h"

#include <X11/Xatom.h>

#include <algorithm>
#include <memory>

#include "platform/x11/x11_objects.h"

namespace {

constexpr char kPropertyName[] = "_INPUT_AGENT_SPARE_KEYCODES";

struct XFreeDelete {
  void operator()(void* data) const { XFree(data); }
};

// The server grabbed for the object's life: no other client's request runs in between.
class ServerGrab {
 public:
  explicit ServerGrab(Display* display) : display(display) { XGrabServer(display); }
  ~ServerGrab() {
    if (!x11ConnectionLost()) {
      XUngrabServer(display);
      XFlush(display);
    }
  }
  ServerGrab(const ServerGrab&) = delete;
  ServerGrab& operator=(const ServerGrab&) = delete;

 private:
  Display* display;
};

void clearBinding(Display* display, KeyCode keycode) {
  KeySym none = NoSymbol;
  XChangeKeyboardMapping(display, keycode, 1, &none, 1);
}

}  // namespace

SpareKeycodes::SpareKeycodes(Display* display, std::vector<KeyCode> reserved)
    : display(display), reserved(std::move(reserved)) {}

SpareKeycodes::~SpareKeycodes() {
  if (Display* d = live(); d != nullptr && owner != 0) XDestroyWindow(d, owner);
}

Display* SpareKeycodes::live() const { return x11ConnectionLost() ? nullptr : display; }

std::vector<SpareKeycodes::Mark> SpareKeycodes::readMarks() {
  std::vector<Mark> marks;
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(display, DefaultRootWindow(display), property, 0, 1 << 16, False,
                         XA_CARDINAL, &type, &format, &count, &after, &data) != Success) {
    return marks;
  }
  const std::unique_ptr<unsigned char, XFreeDelete> owned(data);
  if (type != XA_CARDINAL || format != 32 || data == nullptr) return marks;
  // Xlib hands format-32 data over as longs.
  const auto* values = reinterpret_cast<const unsigned long*>(data);
  for (unsigned long i = 0; i + 1 < count; i += 2) marks.push_back({values[i], values[i + 1]});
  return marks;
}

void SpareKeycodes::writeMarks(const std::vector<Mark>& marks) {
  const Window root = DefaultRootWindow(display);
  if (marks.empty()) {
    XDeleteProperty(display, root, property);
    return;
  }
  std::vector<unsigned long> values;
  for (const Mark& mark : marks) {
    values.push_back(mark.keycode);
    values.push_back(mark.owner);
  }
  XChangeProperty(display, root, property, XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(values.data()),
                  static_cast<int>(values.size()));
}

bool SpareKeycodes::ownerExists(unsigned long window) {
  if (window == owner) return true;
  XWindowAttributes attributes;
  return XGetWindowAttributes(display, window, &attributes) != 0;
}

std::optional<KeyCode> SpareKeycodes::claim() {
  if (live() == nullptr) return std::nullopt;
  if (property == 0) property = XInternAtom(display, kPropertyName, False);
  if (owner == 0) {
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    owner = XCreateWindow(display, DefaultRootWindow(display), -1, -1, 1, 1, 0, CopyFromParent,
                          InputOnly, CopyFromParent, CWOverrideRedirect, &attributes);
  }
  if (property == 0 || owner == 0) return std::nullopt;

  const ServerGrab grab(display);
  std::vector<Mark> marks = readMarks();
  // Marks of agents that are gone: their keycodes are cleared and free again.
  std::vector<unsigned long> gone, alive;
  for (const Mark& mark : marks) {
    if (std::find(alive.begin(), alive.end(), mark.owner) != alive.end()) continue;
    if (std::find(gone.begin(), gone.end(), mark.owner) != gone.end()) continue;
    (ownerExists(mark.owner) ? alive : gone).push_back(mark.owner);
    if (live() == nullptr) return std::nullopt;
  }
  std::erase_if(marks, [&](const Mark& mark) {
    if (std::find(gone.begin(), gone.end(), mark.owner) == gone.end()) return false;
    clearBinding(display, static_cast<KeyCode>(mark.keycode));
    return true;
  });

  // Read after the clearing above, which the server carries out first.
  int min = 0, max = 0;
  XDisplayKeycodes(display, &min, &max);
  int perKeycode = 0;
  const std::unique_ptr<KeySym, XFreeDelete> mapping(
      XGetKeyboardMapping(display, static_cast<KeyCode>(min), max - min + 1, &perKeycode));
  if (!mapping || perKeycode <= 0 || live() == nullptr) return std::nullopt;
  std::optional<KeyCode> found;
  for (int keycode = min; keycode <= max && !found; ++keycode) {
    const KeySym* keysyms = mapping.get() + static_cast<std::ptrdiff_t>(keycode - min) * perKeycode;
    const bool unbound =
        std::all_of(keysyms, keysyms + perKeycode, [](KeySym k) { return k == NoSymbol; });
    const bool marked = std::any_of(marks.begin(), marks.end(), [&](const Mark& mark) {
      return mark.keycode == static_cast<unsigned long>(keycode);
    });
    const bool isReserved = std::find(reserved.begin(), reserved.end(), keycode) != reserved.end();
    if (unbound && !marked && !isReserved) found = static_cast<KeyCode>(keycode);
  }
  if (found) {
    marks.push_back({*found, owner});
    claimed.push_back(*found);
  }
  writeMarks(marks);
  return found;
}

void SpareKeycodes::releaseAll(const std::function<KeySym(KeyCode)>& boundByUs) {
  if (claimed.empty() || live() == nullptr) return;
  const ServerGrab grab(display);
  std::vector<Mark> marks = readMarks();
  std::erase_if(marks, [&](const Mark& mark) { return mark.owner == owner; });
  for (const KeyCode keycode : claimed) {
    const KeySym ours = boundByUs(keycode);
    if (ours == NoSymbol) continue;
    int perKeycode = 0;
    const std::unique_ptr<KeySym, XFreeDelete> current(
        XGetKeyboardMapping(display, keycode, 1, &perKeycode));
    if (live() == nullptr) return;
    if (current && perKeycode > 0 && *current == ours) clearBinding(display, keycode);
  }
  writeMarks(marks);
  claimed.clear();
}
