// A private headless KWin session (see kwin_session.h).
#include "support/kwin_session.h"

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#ifndef WAYLAND_RECEIVER
#error "WAYLAND_RECEIVER must name the receiver program"
#endif
#ifndef AGENT
#error "AGENT must name the agent"
#endif

namespace {

constexpr const char* kKWin = "/usr/bin/kwin_wayland";
constexpr const char* kSocket = "kwin-test-0";
// The least applications menu: every application under XDG_DATA_DIRS, in one menu.
constexpr const char* kApplicationsMenu =
    "<!DOCTYPE Menu PUBLIC \"-//freedesktop//DTD Menu 1.0//EN\"\n"
    " \"http://www.freedesktop.org/standards/menu-spec/1.0/menu.dtd\">\n"
    "<Menu>\n"
    "  <Name>Applications</Name>\n"
    "  <DefaultAppDirs/>\n"
    "  <Include><All/></Include>\n"
    "</Menu>\n";

}  // namespace

bool KWinSession::installed() { return access(kKWin, X_OK) == 0; }

KWinSession::KWinSession(const std::string& dataDir, const std::string& keeper) {
  char pattern[] = "/tmp/input-agent-kwin.XXXXXX";
  if (mkdtemp(pattern) == nullptr) {
    failure_ = "no runtime folder";
    return;
  }
  dir_ = pattern;
  socket_ = kSocket;
  const std::string copy = dir_ + "/bin/kwin_wayland";
  std::error_code error;
  std::filesystem::create_directory(dir_ + "/bin", error);
  if (error || !std::filesystem::copy_file(kKWin, copy, error)) {
    failure_ = "cannot copy kwin_wayland: " + error.message();
    return;
  }

  ProcessOptions kwinOptions;
  kwinOptions.setEnv = {{"XDG_RUNTIME_DIR", dir_},
                        {"HOME", dir_},
                        {"KWIN_COMPOSE", "Q"},
                        {"QT_LOGGING_RULES", "*=false"}};
  kwinOptions.unsetEnv = {"DISPLAY", "WAYLAND_DISPLAY", "WAYLAND_SOCKET", "QT_QPA_PLATFORM",
                          "DBUS_SESSION_BUS_ADDRESS"};
  if (dataDir.empty()) {
    kwinOptions.setEnv.emplace_back("KWIN_WAYLAND_NO_PERMISSION_CHECKS", "1");
  } else {
    // KWin 6 looks the client's executable up in KDE's application index, which takes its
    // .desktop files from the session's applications menu: without a menu (a Plasma session
    // has one in /etc/xdg/menus) it lists no application and trusts none. KWin 5.27 read the
    // .desktop files without it.
    const std::string menus = dir_ + "/xdg/menus";
    std::filesystem::create_directories(menus, error);
    std::ofstream(menus + "/applications.menu") << kApplicationsMenu;
    kwinOptions.setEnv.emplace_back("XDG_CONFIG_DIRS", dir_ + "/xdg:/etc/xdg");
    kwinOptions.setEnv.emplace_back("XDG_DATA_DIRS", dataDir + ":/usr/share");
    kwinOptions.unsetEnv.push_back("KWIN_WAYLAND_NO_PERMISSION_CHECKS");
    kwinOptions.unsetEnv.push_back("XDG_MENU_PREFIX");
  }
  kwinOptions.noStdin = true;
  const std::string command = "exec " + copy + " --virtual --socket " + socket_ +
                              " --width 1280 --height 800 --no-lockscreen --no-global-shortcuts"
                              " --no-kactivities >" +
                              dir_ + "/kwin.log 2>&1";
  kwin_ = std::make_unique<RunningProcess>(std::vector<std::string>{"/bin/sh", "-c", command},
                                           kwinOptions);

  const std::string socketPath = dir_ + "/" + socket_;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
  struct stat info {};
  while (stat(socketPath.c_str(), &info) != 0 || !S_ISSOCK(info.st_mode)) {
    if (std::chrono::steady_clock::now() > deadline) {
      failure_ = "KWin did not start";
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }

  ProcessOptions clientOptions;
  clientOptions.setEnv = environment();
  clientOptions.unsetEnv = {"DISPLAY"};
  // The agent itself, idle on an open standard input, is the fake input client that stays.
  ProcessOptions keeperOptions = clientOptions;
  keeperOptions.setEnv.emplace_back("INPUT_AGENT_BACKEND", "kde");
  keeper_ = std::make_unique<RunningProcess>(std::vector<std::string>{keeper}, keeperOptions);
  if (!keeper_->waitForOut("READY\n", 10000)) {
    failure_ = "the fake input client did not start";
    return;
  }
  receiver_ =
      std::make_unique<RunningProcess>(std::vector<std::string>{WAYLAND_RECEIVER}, clientOptions);
  if (!receiver_->waitForOut("ready\n", 15000)) {
    failure_ = "the receiver did not start: " + receiver_->err();
  }
}

KWinSession::~KWinSession() {
  receiver_.reset();
  if (keeper_) keeper_->finish();
  keeper_.reset();
  kwin_.reset();
  if (!dir_.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }
}

std::vector<std::pair<std::string, std::string>> KWinSession::environment() const {
  return {{"XDG_RUNTIME_DIR", dir_}, {"WAYLAND_DISPLAY", socket_}};
}
