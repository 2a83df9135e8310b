// Chromium (Debian's `chromium`) on a given X display, for the application tests: one window in
// app mode at the screen's top left corner showing one page, whose page coordinates are screen
// coordinates, driven and read over the DevTools protocol on a pipe (--remote-debugging-pipe:
// JSON messages separated by NUL bytes on descriptors 3 and 4).
//
// A fresh profile in a temporary folder, no network, no sandbox (tests may run as root), X11
// (not Wayland) and no GPU. Chromium and every process it started are killed when the object
// goes, and the profile is removed. available() is false when it could not be started.
#pragma once

#include <sys/types.h>

#include <nlohmann/json.hpp>
#include <string>

class Chromium {
 public:
  Chromium(const std::string& display, const std::string& url, int width, int height);
  ~Chromium();
  Chromium(const Chromium&) = delete;
  Chromium& operator=(const Chromium&) = delete;

  bool available() const { return !session.empty(); }
  // The value of a JavaScript expression in the page (null when it failed or timed out).
  nlohmann::json evaluate(const std::string& expression);

 private:
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
