#include "platform/devices/x11/spare_keycodes.h"

#include <X11/Xatom.h>

#include <algorithm>
#include <memory>
#include <random>

#include "platform/devices/linux/text_keycodes.h"
#include "platform/devices/x11/x11_connection.h"

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

// NoSymbol on the first two levels, as text typing binds them: with fewer, the server keeps
// the binding in its second group.
void clearBinding(Display* display, KeyCode keycode) {
  KeySym none[2] = {NoSymbol, NoSymbol};
  XChangeKeyboardMapping(display, keycode, 2, none, 1);
}

// A random number that tells this agent's owner window from one that a later client got under
// the same id: the server reuses the ids of a client that has gone.
unsigned long newNonce() {
  std::random_device random;
  return random() & 0xFFFFFFFFul;
}

// The CARD32 values of a property, or none when it (or its window) does not exist.
std::vector<unsigned long> readCardinals(Display* display, Window window, Atom property) {
  std::vector<unsigned long> values;
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(display, window, property, 0, 1 << 16, False, XA_CARDINAL, &type, &format,
                         &count, &after, &data) != Success) {
    return values;
  }
  const std::unique_ptr<unsigned char, XFreeDelete> owned(data);
  if (type != XA_CARDINAL || format != 32 || data == nullptr) return values;
  // Xlib hands format-32 data over as longs, sign-extended where long is wider.
  const auto* longs = reinterpret_cast<const long*>(data);
  for (unsigned long i = 0; i < count; ++i) {
    values.push_back(static_cast<unsigned long>(longs[i]) & 0xFFFFFFFFul);
  }
  return values;
}

void writeCardinals(Display* display, Window window, Atom property,
                    const std::vector<unsigned long>& values) {
  if (values.empty()) {
    XDeleteProperty(display, window, property);
    return;
  }
  XChangeProperty(display, window, property, XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(values.data()),
                  static_cast<int>(values.size()));
}

}  // namespace

SpareKeycodes::SpareKeycodes(Display* display, std::vector<KeyCode> reserved)
    : display(display), reserved(std::move(reserved)) {}

SpareKeycodes::~SpareKeycodes() {
  if (Display* d = live(); d != nullptr && owner != 0) XDestroyWindow(d, owner);
}

Display* SpareKeycodes::live() const { return x11ConnectionLost() ? nullptr : display; }

std::vector<SpareKeycodes::Mark> SpareKeycodes::readMarks() {
  const std::vector<unsigned long> values =
      readCardinals(display, DefaultRootWindow(display), property);
  std::vector<Mark> marks;
  for (std::size_t i = 0; i + 2 < values.size(); i += 3) {
    marks.push_back({values[i], values[i + 1], values[i + 2]});
  }
  return marks;
}

void SpareKeycodes::writeMarks(const std::vector<Mark>& marks) {
  std::vector<unsigned long> values;
  for (const Mark& mark : marks)
    values.insert(values.end(), {mark.keycode, mark.owner, mark.nonce});
  writeCardinals(display, DefaultRootWindow(display), property, values);
}

bool SpareKeycodes::ownerExists(const Mark& mark) {
  if (mark.owner == owner) return mark.nonce == nonce;
  const std::vector<unsigned long> values = readCardinals(display, mark.owner, property);
  return values.size() == 1 && values[0] == mark.nonce;
}

std::vector<KeyCode> SpareKeycodes::unboundKeycodes() {
  std::vector<KeyCode> unbound;
  int min = 0, max = 0;
  XDisplayKeycodes(display, &min, &max);
  int perKeycode = 0;
  const std::unique_ptr<KeySym, XFreeDelete> mapping(
      XGetKeyboardMapping(display, static_cast<KeyCode>(min), max - min + 1, &perKeycode));
  if (!mapping || perKeycode <= 0 || live() == nullptr) return unbound;
  for (const std::uint32_t code : kX11TextKeycodes) {
    const int keycode = static_cast<int>(code);
    if (keycode < min || keycode > max) continue;
    const KeySym* keysyms = mapping.get() + static_cast<std::ptrdiff_t>(keycode - min) * perKeycode;
    const bool empty =
        std::all_of(keysyms, keysyms + perKeycode, [](KeySym k) { return k == NoSymbol; });
    const bool isReserved = std::find(reserved.begin(), reserved.end(), keycode) != reserved.end();
    if (empty && !isReserved) unbound.push_back(static_cast<KeyCode>(keycode));
  }
  return unbound;
}

std::size_t SpareKeycodes::freeCount() {
  if (live() == nullptr) return 0;
  return unboundKeycodes().size();
}

std::optional<KeyCode> SpareKeycodes::claim() {
  if (live() == nullptr) return std::nullopt;
  if (property == 0) property = XInternAtom(display, kPropertyName, False);
  if (owner == 0) {
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    owner = XCreateWindow(display, DefaultRootWindow(display), -1, -1, 1, 1, 0, CopyFromParent,
                          InputOnly, CopyFromParent, CWOverrideRedirect, &attributes);
    nonce = newNonce();
    if (owner != 0) writeCardinals(display, owner, property, {nonce});
  }
  if (property == 0 || owner == 0) return std::nullopt;

  const ServerGrab grab(display);
  std::vector<Mark> marks = readMarks();
  // Marks of agents that are gone: their keycodes are cleared and free again.
  std::vector<unsigned long> gone, alive;  // nonces
  for (const Mark& mark : marks) {
    if (std::find(alive.begin(), alive.end(), mark.nonce) != alive.end()) continue;
    if (std::find(gone.begin(), gone.end(), mark.nonce) != gone.end()) continue;
    (ownerExists(mark) ? alive : gone).push_back(mark.nonce);
    if (live() == nullptr) return std::nullopt;
  }
  std::erase_if(marks, [&](const Mark& mark) {
    if (std::find(gone.begin(), gone.end(), mark.nonce) == gone.end()) return false;
    clearBinding(display, static_cast<KeyCode>(mark.keycode));
    return true;
  });

  // Read after the clearing above, which the server carries out first.
  std::optional<KeyCode> found;
  for (const KeyCode keycode : unboundKeycodes()) {
    const bool marked = std::any_of(marks.begin(), marks.end(), [&](const Mark& mark) {
      return mark.keycode == static_cast<unsigned long>(keycode);
    });
    if (!marked) {
      found = keycode;
      break;
    }
  }
  if (live() == nullptr) return std::nullopt;
  if (found) {
    marks.push_back({*found, owner, nonce});
    claimed.push_back(*found);
  }
  writeMarks(marks);
  return found;
}

void SpareKeycodes::releaseAll(const std::function<KeySym(KeyCode)>& boundByUs) {
  if (claimed.empty() || live() == nullptr) return;
  const ServerGrab grab(display);
  std::vector<Mark> marks = readMarks();
  std::erase_if(marks,
                [&](const Mark& mark) { return mark.owner == owner && mark.nonce == nonce; });
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
