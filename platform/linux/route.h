// The internal interface behind the CoreGraphics-named calls on Linux. A route is one way of
// reaching the desktop (the wlroots virtual devices, the X server's XTest), one folder of the
// platform layer; platform/linux/events.cc hands every posted event to the one route chosen at
// start (select_route.h). event_parts.h has what routes need to read an event.
//
// What every route promises:
// - post() sends the event's input in order; deliver(), called after each line, makes every
//   event posted so far reach the desktop before it returns, so that each line's events are
//   delivered before the next line is read;
// - failures are silent and leave the route usable (or silently idle once its server is gone);
// - the destructor releases every key and button the agent holds, takes back what the route
//   changed on the server and waits until the server has processed everything it sent.
// Single-threaded.
#pragma once

struct CGEventOpaque;

class Route {
 public:
  virtual ~Route() = default;

  virtual void post(const CGEventOpaque& event) = 0;
  virtual void deliver() = 0;
};
