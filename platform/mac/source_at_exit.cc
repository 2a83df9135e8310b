// macOS: the event source outlives the injector and stays to the end of the process (see
// platform/source_at_exit.h). It is kept reachable, not lost: leak checkers see it as in use.
#include "platform/source_at_exit.h"

namespace {
CGEventSourceRef keptToTheEnd = nullptr;
}

void endEventSource(CGEventSourceRef source) {
  if (source != nullptr) keptToTheEnd = source;
}
