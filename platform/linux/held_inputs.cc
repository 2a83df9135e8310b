#include "platform/linux/held_inputs.h"

#include <algorithm>

namespace {

// A press adds the item once, as the latest; a release removes it.
template <typename T>
void record(std::vector<T>& held, T item, bool down) {
  held.erase(std::remove(held.begin(), held.end(), item), held.end());
  if (down) held.push_back(item);
}

}  // namespace

void HeldInputs::key(CGKeyCode key, bool down) { record(keys_, key, down); }
void HeldInputs::button(CGMouseButton button, bool down) { record(buttons_, button, down); }

bool HeldInputs::holdsKey(CGKeyCode key) const {
  return std::find(keys_.begin(), keys_.end(), key) != keys_.end();
}
