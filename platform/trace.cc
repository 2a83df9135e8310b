// The trace implementation: every call writes one line to standard error, in call order, and
// posts nothing. Tests compare whole traces; controller authors use it for dry runs.
//
// Line forms (fields separated by one space; X and Y printed with %.17g, a NaN as "nan" or
// "-nan" by its sign on every C library):
//   CGEventSourceCreate 1
//   CGEventCreateMouseEvent SRC TYPE X Y BUTTON
//   CGEventCreateScrollWheelEvent2 SRC UNIT COUNT W1 W2 W3
//   CGEventCreateKeyboardEvent SRC VK true|false
//   CGEventSetFlags 0xHEX
//   CGEventSetIntegerValueField FIELD VALUE
//   CGEventKeyboardSetUnicodeString COUNT U1 U2 ...
//   CGEventPost TAP
//   CFRelease
// SRC is "src" or "null"; a create that yields nothing ends its line with " -> null".
//
// Fault injection: INPUT_AGENT_TRACE_NULL_SOURCE=1 makes CGEventSourceCreate yield null;
// INPUT_AGENT_TRACE_FAIL is "all" or a comma-separated list of 1-based positions among the
// event creates (mouse, scroll and keyboard counted together) that yield null.
//
// Output is buffered and written out by deliverPostedEvents, once per input line.
#include <cinttypes>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string_view>

#include "platform/deliver.h"
#include "platform/events.h"
#include "platform/handles.h"
#include "platform/probe.h"
#include "platform/probe_text.h"

namespace {

// A coordinate as text: %.17g, and a NaN with its sign, which C libraries print differently.
struct CoordinateText {
  char text[32];
};
CoordinateText coordinate(double value) {
  CoordinateText out{};
  if (std::isnan(value)) {
    std::snprintf(out.text, sizeof out.text, "%s", std::signbit(value) ? "-nan" : "nan");
  } else {
    std::snprintf(out.text, sizeof out.text, "%.17g", value);
  }
  return out;
}

struct TraceEvent {
  ObjectKind kind = ObjectKind::event;
};
struct TraceSource {
  ObjectKind kind = ObjectKind::source;
};

struct FailurePlan {
  bool all = false;
  std::set<unsigned long> positions;
};

// Parses INPUT_AGENT_TRACE_FAIL once. Anything that is not a position is ignored.
FailurePlan readFailurePlan() {
  FailurePlan plan;
  const char* text = std::getenv("INPUT_AGENT_TRACE_FAIL");
  if (text == nullptr) return plan;
  std::string_view rest(text);
  if (rest == "all") {
    plan.all = true;
    return plan;
  }
  while (!rest.empty()) {
    const auto comma = rest.find(',');
    const std::string_view item = rest.substr(0, comma);
    unsigned long value = 0;
    bool digits = !item.empty() && item.size() < 19;
    for (char c : item) {
      if (c < '0' || c > '9') {
        digits = false;
        break;
      }
      value = value * 10 + static_cast<unsigned long>(c - '0');
    }
    if (digits) plan.positions.insert(value);
    if (comma == std::string_view::npos) break;
    rest.remove_prefix(comma + 1);
  }
  return plan;
}

unsigned long createCount = 0;

// Counts one event create and says whether it is to fail.
bool nextCreateFails() {
  static const FailurePlan plan = readFailurePlan();
  ++createCount;
  return plan.all || plan.positions.count(createCount) != 0;
}

FILE* out() {
  static FILE* stream = [] {
    static char buffer[1 << 16];
    std::setvbuf(stderr, buffer, _IOFBF, sizeof buffer);
    return stderr;
  }();
  return stream;
}

const char* sourceName(CGEventSourceRef source) { return source != nullptr ? "src" : "null"; }

// Ends a create line and yields the event, or null when the create is to fail.
CGEventRef finishCreate() {
  if (nextCreateFails()) {
    std::fputs(" -> null\n", out());
    return nullptr;
  }
  std::fputc('\n', out());
  return toHandle<CGEventRef>(new TraceEvent);
}

}  // namespace

extern "C" {

CGEventSourceRef CGEventSourceCreate(CGEventSourceStateID stateID) {
  std::fprintf(out(), "CGEventSourceCreate %" PRId32, static_cast<std::int32_t>(stateID));
  const char* nullSource = std::getenv("INPUT_AGENT_TRACE_NULL_SOURCE");
  if (nullSource != nullptr && std::string_view(nullSource) == "1") {
    std::fputs(" -> null\n", out());
    return nullptr;
  }
  std::fputc('\n', out());
  return toHandle<CGEventSourceRef>(new TraceSource);
}

CGEventRef CGEventCreateMouseEvent(CGEventSourceRef source, CGEventType mouseType,
                                   CGPoint mouseCursorPosition, CGMouseButton mouseButton) {
  std::fprintf(out(), "CGEventCreateMouseEvent %s %" PRIu32 " %s %s %" PRIu32, sourceName(source),
               static_cast<std::uint32_t>(mouseType), coordinate(mouseCursorPosition.x).text,
               coordinate(mouseCursorPosition.y).text, static_cast<std::uint32_t>(mouseButton));
  return finishCreate();
}

CGEventRef CGEventCreateScrollWheelEvent2(CGEventSourceRef source, CGScrollEventUnit units,
                                          std::uint32_t wheelCount, std::int32_t wheel1,
                                          std::int32_t wheel2, std::int32_t wheel3) {
  std::fprintf(
      out(),
      "CGEventCreateScrollWheelEvent2 %s %" PRIu32 " %" PRIu32 " %" PRId32 " %" PRId32 " %" PRId32,
      sourceName(source), static_cast<std::uint32_t>(units), wheelCount, wheel1, wheel2, wheel3);
  return finishCreate();
}

CGEventRef CGEventCreateKeyboardEvent(CGEventSourceRef source, CGKeyCode virtualKey, bool keyDown) {
  std::fprintf(out(), "CGEventCreateKeyboardEvent %s %u %s", sourceName(source),
               static_cast<unsigned>(virtualKey), keyDown ? "true" : "false");
  return finishCreate();
}

void CGEventSetFlags(CGEventRef, CGEventFlags flags) {
  std::fprintf(out(), "CGEventSetFlags 0x%" PRIx64 "\n", static_cast<std::uint64_t>(flags));
}

void CGEventSetIntegerValueField(CGEventRef, CGEventField field, std::int64_t value) {
  std::fprintf(out(), "CGEventSetIntegerValueField %" PRIu32 " %" PRId64 "\n",
               static_cast<std::uint32_t>(field), value);
}

void CGEventKeyboardSetUnicodeString(CGEventRef, UniCharCount stringLength,
                                     const UniChar* unicodeString) {
  std::fprintf(out(), "CGEventKeyboardSetUnicodeString %lu", stringLength);
  for (UniCharCount i = 0; i < stringLength; ++i) {
    std::fprintf(out(), " %04x", static_cast<unsigned>(unicodeString[i]));
  }
  std::fputc('\n', out());
}

void CGEventPost(CGEventTapLocation tap, CGEventRef) {
  std::fprintf(out(), "CGEventPost %" PRIu32 "\n", static_cast<std::uint32_t>(tap));
}

void CFRelease(CFTypeRef cf) {
  std::fputs("CFRelease\n", out());
  if (objectKindOf(cf) == ObjectKind::event) {
    delete fromHandle<TraceEvent>(cf);
  } else {
    delete fromHandle<TraceSource>(cf);
  }
}
}

void deliverPostedEvents() { std::fflush(out()); }
void beforeInputWait() { std::fflush(out()); }

int probePlatform(bool json, std::FILE* output) {
  return writeProbe(output, json,
                    {{"trace", true,
                      "posts nothing: every event call is written to standard error, one line "
                      "each"}});
}
