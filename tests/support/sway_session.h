// A private headless sway for the Wayland end-to-end tests, with the tests' own receiving window
// and a client that keeps a pointer and a keyboard on the seat (tests/wayland/).
//
// Sway runs with the headless backend and the pixman renderer, no input devices, a private
// XDG_RUNTIME_DIR and a minimal configuration that places the outputs and puts the first window
// on the first output. Sway refuses to run as
// root, so when the tests run as root, sway and the clients run as the user "nobody" (setpriv);
// the programs they run are copied into the runtime folder, which that user owns. Everything is
// stopped and removed when the object goes.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "support/run_process.h"

struct SessionOutput {
  int width;
  int height;
  int x;
  int y;
};

class SwaySession {
 public:
  // With `xProgram`, Xwayland runs, sway starts that X client itself (so that it finds the X
  // display) with its output in xOutput(), and there is no Wayland receiver. `seatLayout` is the
  // XKB layout of the seat's keyboard.
  explicit SwaySession(const std::vector<SessionOutput>& outputs = {{1280, 800, 0, 0}},
                       const std::string& xProgram = "", const std::string& seatLayout = "us");
  ~SwaySession();
  SwaySession(const SwaySession&) = delete;
  SwaySession& operator=(const SwaySession&) = delete;

  // Whether sway is installed here at all; without it the tests skip.
  static bool installed();
  // Empty once the session, the seat keeper and the receiver are all ready; else what failed.
  const std::string& failure() const { return failure_; }

  // The environment that puts a client in this session.
  std::vector<std::pair<std::string, std::string>> environment() const;
  RunningProcess& receiver() { return *receiver_; }
  // What the X client has printed so far.
  std::string xOutput() const;
  // Runs a command of sway's ("workspace number 2") over its IPC socket, as swaymsg does; the
  // exit status is swaymsg's.
  int command(const std::string& command) const;
  // Opens the windows that start from now on on a workspace of their own, away from the
  // receiver window: beside it, sway 1.10 (Debian 13) lists a full-screen window as covering
  // the output but shows it, and finds it under the pointer, at its tiled place in the right
  // half. Whether sway took the command.
  bool useEmptyWorkspace() const { return command("workspace number 2") == 0; }
  // Stops the compositor at once, as a crash would.
  void killCompositor();

 private:
  std::vector<std::string> asTestUser(std::vector<std::string> argv) const;
  std::string copyIn(const std::string& program) const;

  std::string dir_;
  std::string socket_;
  bool asNobody_ = false;
  std::unique_ptr<RunningProcess> sway_;
  std::unique_ptr<RunningProcess> keeper_;
  std::unique_ptr<RunningProcess> receiver_;
  std::string failure_;
};
