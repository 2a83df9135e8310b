// The tests' side of tests/apps/click_counter.py: a full-screen GTK 3 or Qt 5 window that says
// how its toolkit counted the presses of the left button ("press", and "double" for the second
// press of a double click), on an X display or natively on Wayland.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "support/run_process.h"

class ClickCounter {
 public:
  // `toolkit` is "gtk" or "qt"; `options` carries the display or the Wayland session, and
  // `wayland` picks the toolkit's Wayland backend (else its X11 one).
  ClickCounter(const std::string& toolkit, bool wayland, ProcessOptions options);
  ~ClickCounter();
  ClickCounter(const ClickCounter&) = delete;
  ClickCounter& operator=(const ClickCounter&) = delete;

  // Whether the toolkit's Python bindings (and for Qt on Wayland its platform plugin) are here.
  static bool installed(const std::string& toolkit, bool wayland);

  // Whether the window is on screen.
  bool ready() const { return started_; }
  // What the toolkit reported since the start or the last clear(), one entry per line.
  std::vector<std::string> presses();
  void clear();
  std::string name() const { return toolkit_ == "gtk" ? "GTK" : "Qt"; }
  std::string err() const { return process_->err(); }

 private:
  std::string toolkit_;
  std::unique_ptr<RunningProcess> process_;
  bool started_ = false;
  std::size_t from_ = 0;
};
