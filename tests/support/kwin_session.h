// A private headless KWin for the KDE route's end-to-end tests, with the tests' own receiving
// window (tests/wayland/receiver.cc) and a fake input client that stays connected for the whole
// session: KWin gives its seat a pointer only while a fake input client is connected, and a
// window that gets the pointer only when the agent connects misses the agent's first events.
//
// KWin runs with its virtual backend, Qt's software compositing, no lock screen and no global
// shortcuts, in a private XDG_RUNTIME_DIR and HOME, and by default with its permission check off
// (tests run unpackaged executables that no .desktop file trusts). Debian's kwin_wayland carries a
// file capability that a container may not grant, so the session runs a copy of it, named as KWin
// expects (its own Qt platform plugin loads only in an executable called kwin_wayland).
// Everything is stopped and removed when the object goes.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "support/run_process.h"

class KWinSession {
 public:
  // With `dataDir`, KWin checks its permissions: fake input goes only to executables that a
  // .desktop file under dataDir/applications trusts, and `keeper` (such an executable) is the
  // client that stays connected. The session then has an applications menu of its own, as a
  // Plasma session has, through which KWin 6 finds those files.
  explicit KWinSession(const std::string& dataDir = "", const std::string& keeper = AGENT);
  ~KWinSession();
  KWinSession(const KWinSession&) = delete;
  KWinSession& operator=(const KWinSession&) = delete;

  // Whether KWin is installed here at all; without it the tests skip.
  static bool installed();
  // Empty once KWin, the fake input client and the receiver are all ready; else what failed.
  const std::string& failure() const { return failure_; }

  // The environment that puts a client in this session.
  std::vector<std::pair<std::string, std::string>> environment() const;
  RunningProcess& receiver() { return *receiver_; }

 private:
  std::string dir_;
  std::string socket_;
  std::unique_ptr<RunningProcess> kwin_;
  std::unique_ptr<RunningProcess> keeper_;
  std::unique_ptr<RunningProcess> receiver_;
  std::string failure_;
};
