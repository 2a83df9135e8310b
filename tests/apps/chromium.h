// Chromium (Debian's `chromium`) for the application tests: on a given X display, one window in
// app mode at the screen's top left corner showing one page, whose page coordinates are screen
// coordinates; or natively on Wayland in a given session (its environment), where the
// compositor places the window. Driven and read over the DevTools protocol on a pipe
// (--remote-debugging-pipe: JSON messages separated by NUL bytes on descriptors 3 and 4).
//
// A fresh profile in a temporary folder, no network, no sandbox (tests may run as root), no GPU.
// Chromium and every process it started are killed when the object goes, and the profile is
// removed. available() is false when it could not be started.
#pragma once

#include <sys/types.h>

#include <nlohmann/json.hpp>
#include <string>
#include <utility>
#include <vector>

class Chromium {
 public:
  Chromium(const std::string& display, const std::string& url, int width, int height);
  // Natively on Wayland, in the session that `environment` names (WAYLAND_DISPLAY,
  // XDG_RUNTIME_DIR); without DISPLAY. `fullscreen` asks for the whole output, where a
  // compositor would place a window of the size given where it likes.
  Chromium(const std::vector<std::pair<std::string, std::string>>& environment,
           const std::string& url, int width, int height, bool fullscreen = false);
  ~Chromium();
  Chromium(const Chromium&) = delete;
  Chromium& operator=(const Chromium&) = delete;

  bool available() const { return !session.empty(); }
  // The value of a JavaScript expression in the page (null when it failed or timed out).
  nlohmann::json evaluate(const std::string& expression);

 private:
  void start(const std::vector<std::pair<std::string, std::string>>& environment, bool wayland,
             const std::string& url, int width, int height, bool fullscreen);
  // One DevTools call; the whole answer, or null on a failure or after 10 s.
  nlohmann::json call(const std::string& method, const nlohmann::json& params,
                      const std::string& sessionId = "");

  pid_t pid = -1;
  int toBrowser = -1;
  int fromBrowser = -1;
  std::string received;
  int lastId = 0;
  std::string session;
  std::string profile;
};
