// Windows tests: a receiving window of the tests' own that writes down every input message it
// gets, one line each, for the tests to compare. It is a topmost popup window over the whole
// virtual desktop, of a class with CS_DBLCLKS, made the foreground window, with its message loop
// on a thread of its own. Line forms (positions in virtual-desktop pixels):
//   move X Y
//   down|up|dblclk left|right|middle X Y
//   wheel DELTA            (WM_MOUSEWHEEL)        hwheel DELTA   (WM_MOUSEHWHEEL)
//   keydown|keyup VK SCAN  (WM_KEYDOWN/UP and WM_SYSKEYDOWN/UP; SCAN with 0xE0 in the high
//                           byte for an extended key; an autorepeat keydown says " repeat")
//   char U+XXXX            (WM_CHAR, one UTF-16 unit each; WM_SYSCHAR as "syschar")
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class Receiver {
 public:
  Receiver();
  ~Receiver();
  Receiver(const Receiver&) = delete;
  Receiver& operator=(const Receiver&) = delete;

  // The lines so far.
  std::vector<std::string> lines();
  void clear();
  // Waits until `done` holds for the lines, or the time is up; the lines either way.
  std::vector<std::string> waitFor(const std::function<bool(const std::vector<std::string>&)>& done,
                                   std::chrono::milliseconds limit = std::chrono::seconds(10));
  // Waits until no line has come for `quiet`, counted from the call at the earliest; the lines.
  std::vector<std::string> settle(std::chrono::milliseconds quiet = std::chrono::milliseconds(300));
  // The window, and whether it is the foreground window.
  HWND window() const { return hwnd; }
  bool focused() const { return GetForegroundWindow() == hwnd; }

 private:
  static LRESULT CALLBACK procedure(HWND, UINT, WPARAM, LPARAM);
  void note(std::string line);
  void run();

  std::thread thread;
  HWND hwnd = nullptr;
  HANDLE ready = nullptr;
  std::mutex mutex;
  std::vector<std::string> log;
  std::chrono::steady_clock::time_point lastLine = std::chrono::steady_clock::now();
};
