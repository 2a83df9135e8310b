// The platforms with devices: the event source is released when the agent ends, which releases
// what the agent holds and ends the route's device (see platform/source_at_exit.h).
#include "platform/source_at_exit.h"

void endEventSource(CGEventSourceRef source) {
  if (source != nullptr) CFRelease(source);
}
