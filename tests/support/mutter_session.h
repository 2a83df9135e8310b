// A private headless mutter for the GNOME route's end-to-end tests: its own session bus
// (dbus-daemon) and PipeWire in a private XDG_RUNTIME_DIR, mutter with virtual monitors (one of
// 1280x800 unless told) and no X, the tests' own receiving window (tests/wayland/receiver.cc), and
// a remote desktop client that stays for the whole session (the agent itself, idle on an open
// input).
//
// Headless mutter 43 has no keymap until a keyboard device has sent a key, and crashes when a
// client asks for a keyboard before that: the session has the agent tap Shift before the
// receiver starts. The session is ready once a motion lands where it was put: mutter makes the
// receiver's window full screen some time after the window is drawn. Everything is stopped and
// removed when the object goes.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "support/run_process.h"

class MutterSession {
 public:
  // One virtual monitor per size ("1280x800"); mutter places them side by side, left to right.
  explicit MutterSession(const std::vector<std::string>& monitors = {"1280x800"});
  ~MutterSession();
  MutterSession(const MutterSession&) = delete;
  MutterSession& operator=(const MutterSession&) = delete;

  // Whether mutter, dbus-daemon and pipewire are installed here; without them the tests skip.
  static bool installed();
  // Empty once mutter, the remote desktop client and the receiver are all ready; else what failed.
  const std::string& failure() const { return failure_; }

  // The environment that puts a client in this session (its Wayland display and session bus).
  std::vector<std::pair<std::string, std::string>> environment() const;
  RunningProcess& receiver() { return *receiver_; }

 private:
  std::string dir_;
  std::unique_ptr<RunningProcess> bus_;
  std::unique_ptr<RunningProcess> pipewire_;
  std::unique_ptr<RunningProcess> mutter_;
  std::unique_ptr<RunningProcess> keeper_;
  std::unique_ptr<RunningProcess> receiver_;
  std::string failure_;
};

// Two monitors: 1280x800 at (0, 0) and 800x600 at (1280, 0).
class TwoMonitorMutterSession : public MutterSession {
 public:
  TwoMonitorMutterSession() : MutterSession({"1280x800", "800x600"}) {}
};
