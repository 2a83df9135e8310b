// Apple: CoreGraphics posts each event the moment CGEventPost is called, so there is nothing
// left to deliver at the end of a line.
#include "platform/deliver.h"
#include "platform/probe.h"
#include "platform/probe_text.h"

void deliverPostedEvents() {}
void beforeInputWait() {}

int probePlatform(bool json, std::FILE* out) {
  return writeProbe(out, json,
                    {{"coregraphics", true,
                      "events posted through CoreGraphics at the HID event tap, in global "
                      "display coordinates"}},
                    "macOS drops them silently unless the application that started the agent "
                    "may control the computer (System Settings, Privacy & Security, "
                    "Accessibility); the agent cannot see whether it may.");
}
