// A private X server for end-to-end tests: Xvfb on a display it picks itself (-displayfd),
// stopped when the object goes. available() is false when Xvfb cannot be started, and tests
// then skip.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

class Xvfb {
 public:
  // extraArgs go to Xvfb after its own, such as {"-extension", "XTEST"} or {"-auth", file}.
  explicit Xvfb(int width = 1280, int height = 720, const std::vector<std::string>& extraArgs = {});
  ~Xvfb();
  Xvfb(const Xvfb&) = delete;
  Xvfb& operator=(const Xvfb&) = delete;

  bool available() const { return !display_.empty(); }
  const std::string& display() const { return display_; }  // such as ":3"
  // Ends the server at once, as a crash would.
  void kill();

 private:
  pid_t pid_ = -1;
  std::string display_;
};
