// Shared by the X11 end-to-end tests: a private Xvfb, a test window that covers the screen and
// records the input events it receives, and a way to run input-agent on that display.
#pragma once

// gtest comes first: Xlib's macros (None, Bool, Status) would break its headers.
#include <gtest/gtest.h>
// clang-format off
#include <X11/Xlib.h>
// clang-format on

#include <memory>
#include <string>
#include <vector>

#include "support/run_process.h"
#include "support/test_window.h"
#include "support/xvfb.h"

struct DisplayCloser {
  void operator()(Display* d) const { XCloseDisplay(d); }
};

class X11Test : public testing::Test {
 protected:
  void SetUp() override {
    if (!xvfb.available()) GTEST_SKIP() << "Xvfb cannot be started here";
    display.reset(XOpenDisplay(xvfb.display().c_str()));
    ASSERT_NE(display, nullptr);
  }

  // Maps a window over the whole screen that records the given input events.
  void openWindow(long eventMask) {
    window = openFullScreenWindow(display.get(), eventMask);
    XSync(display.get(), False);
  }

  // Runs input-agent on this display with the given input, to its end.
  ProcessResult runAgent(const std::string& input) {
    ProcessOptions options;
    options.setEnv = {{"DISPLAY", xvfb.display()}};
    return runProcess({AGENT}, input, options);
  }

  // Every event queued for this client so far, after a round trip to the server.
  std::vector<XEvent> drainEvents() {
    XSync(display.get(), False);
    std::vector<XEvent> events;
    while (XPending(display.get()) > 0) {
      XEvent event;
      XNextEvent(display.get(), &event);
      events.push_back(event);
    }
    return events;
  }

  Xvfb xvfb;
  std::unique_ptr<Display, DisplayCloser> display;
  Window window = 0;
};
