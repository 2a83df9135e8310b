// X11: keyboard events. Not yet mapped: keyboard events are created and posted nowhere.
#include "platform/x11/x11_objects.h"

class KeyboardMapper {};

void KeyboardMapperDelete::operator()(KeyboardMapper* mapper) const { delete mapper; }

std::unique_ptr<KeyboardMapper, KeyboardMapperDelete> makeKeyboardMapper(Display*) {
  return std::unique_ptr<KeyboardMapper, KeyboardMapperDelete>(new KeyboardMapper);
}

void postKeyboardEvent(CGEventSourceOpaque&, const CGEventOpaque&) {}
