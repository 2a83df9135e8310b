// Linux: the event source is released when the agent ends, which releases what the agent holds
// and restores the keymap (see platform/source_at_exit.h).
#include "platform/source_at_exit.h"

void endEventSource(CGEventSourceRef source) {
  if (source != nullptr) CFRelease(source);
}
