// A private headless sway session (see sway_session.h).
#include "support/sway_session.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#ifndef WAYLAND_RECEIVER
#error "WAYLAND_RECEIVER must name the receiver program"
#endif
#ifndef WAYLAND_SEAT_KEEPER
#error "WAYLAND_SEAT_KEEPER must name the seat keeper program"
#endif

namespace {

constexpr const char* kSway = "/usr/bin/sway";
constexpr const char* kSetpriv = "/usr/bin/setpriv";
constexpr uid_t kNobody = 65534;
constexpr gid_t kNogroup = 65534;

// The name of the compositor's socket in the runtime folder, once it is there.
std::string findSocket(const std::string& dir) {
  std::string found;
  if (DIR* d = opendir(dir.c_str())) {
    while (const dirent* entry = readdir(d)) {
      const std::string name = entry->d_name;
      struct stat info {};
      if (name.rfind("wayland-", 0) == 0 && name.find('.') == std::string::npos &&
          stat((dir + "/" + name).c_str(), &info) == 0 && S_ISSOCK(info.st_mode)) {
        found = name;
      }
    }
    closedir(d);
  }
  return found;
}

}  // namespace

bool SwaySession::installed() { return access(kSway, X_OK) == 0; }

std::vector<std::string> SwaySession::asTestUser(std::vector<std::string> argv) const {
  if (!asNobody_) return argv;
  std::vector<std::string> wrapped = {kSetpriv, "--reuid=" + std::to_string(kNobody),
                                      "--regid=" + std::to_string(kNogroup), "--clear-groups"};
  wrapped.insert(wrapped.end(), argv.begin(), argv.end());
  return wrapped;
}

std::string SwaySession::copyIn(const std::string& program) const {
  const std::string copy = dir_ + "/" + std::filesystem::path(program).filename().string();
  std::filesystem::copy_file(program, copy, std::filesystem::copy_options::overwrite_existing);
  if (asNobody_ && chown(copy.c_str(), kNobody, kNogroup) != 0) return program;
  return copy;
}

SwaySession::SwaySession(const std::vector<SessionOutput>& outputs, const std::string& xProgram,
                         const std::string& seatLayout) {
  asNobody_ = geteuid() == 0;
  char pattern[] = "/tmp/input-agent-sway.XXXXXX";
  if (mkdtemp(pattern) == nullptr) {
    failure_ = "no runtime folder";
    return;
  }
  dir_ = pattern;
  if (asNobody_ && chown(dir_.c_str(), kNobody, kNogroup) != 0) {
    failure_ = "cannot hand the runtime folder to nobody";
    return;
  }
  {
    std::ofstream config(dir_ + "/config");
    // Workspace 1, where the first window goes, is on the first output: with two outputs, sway
    // 1.7 made it there by itself, sway 1.10 on HEADLESS-2. (An "assign" of every window to it
    // would not do: sway 1.7 then gives the window a title bar's height less.)
    config << (xProgram.empty() ? "xwayland disable\n" : "xwayland force\n")
           << "default_border none\n"
              "focus_follows_mouse no\n"
              "workspace 1 output HEADLESS-1\n";
    if (!xProgram.empty()) {
      config << "exec " << copyIn(xProgram) << " >" << dir_ << "/x.out 2>&1\n";
    }
    for (std::size_t i = 0; i < outputs.size(); ++i) {
      const SessionOutput& o = outputs[i];
      config << "output HEADLESS-" << i + 1 << " resolution " << o.width << "x" << o.height
             << " position " << o.x << " " << o.y << "\n";
    }
  }
  if (asNobody_) chown((dir_ + "/config").c_str(), kNobody, kNogroup);

  ProcessOptions swayOptions;
  swayOptions.setEnv = {
      {"XDG_RUNTIME_DIR", dir_},        {"HOME", dir_},
      {"WLR_BACKENDS", "headless"},     {"WLR_RENDERER", "pixman"},
      {"WLR_LIBINPUT_NO_DEVICES", "1"}, {"WLR_HEADLESS_OUTPUTS", std::to_string(outputs.size())}};
  swayOptions.unsetEnv = {"DISPLAY", "WAYLAND_DISPLAY", "WAYLAND_SOCKET", "SWAYSOCK", "I3SOCK"};
  swayOptions.noStdin = true;
  std::string command;
  for (const std::string& arg : asTestUser({kSway, "-c", dir_ + "/config"})) command += arg + " ";
  command = "exec " + command + ">" + dir_ + "/sway.log 2>&1";
  sway_ = std::make_unique<RunningProcess>(std::vector<std::string>{"/bin/sh", "-c", command},
                                           swayOptions);

  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while ((socket_ = findSocket(dir_)).empty()) {
    if (std::chrono::steady_clock::now() > deadline) {
      failure_ = "sway did not start";
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }

  ProcessOptions clientOptions;
  clientOptions.setEnv = environment();
  clientOptions.unsetEnv = {"DISPLAY"};
  ProcessOptions keeperOptions = clientOptions;
  keeperOptions.setEnv.emplace_back("SEAT_KEEPER_LAYOUT", seatLayout);
  keeper_ =
      std::make_unique<RunningProcess>(asTestUser({copyIn(WAYLAND_SEAT_KEEPER)}), keeperOptions);
  if (!keeper_->waitForOut("ready\n", 10000)) {
    failure_ = "the seat keeper did not start: " + keeper_->err();
    return;
  }
  if (!xProgram.empty()) {
    for (int waited = 0; xOutput().find("ready\n") == std::string::npos; waited += 10) {
      if (waited > 10000) {
        failure_ = "the X client did not start: " + xOutput();
        return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return;
  }
  receiver_ =
      std::make_unique<RunningProcess>(asTestUser({copyIn(WAYLAND_RECEIVER)}), clientOptions);
  if (!receiver_->waitForOut("ready\n", 10000)) {
    failure_ = "the receiver did not start: " + receiver_->err();
  }
}

std::string SwaySession::xOutput() const {
  std::ifstream in(dir_ + "/x.out");
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

SwaySession::~SwaySession() {
  receiver_.reset();
  keeper_.reset();
  sway_.reset();
  if (!dir_.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }
}

std::vector<std::pair<std::string, std::string>> SwaySession::environment() const {
  return {{"XDG_RUNTIME_DIR", dir_}, {"WAYLAND_DISPLAY", socket_}};
}

int SwaySession::command(const std::string& command) const {
  for (const auto& entry : std::filesystem::directory_iterator(dir_)) {
    if (!entry.path().filename().string().starts_with("sway-ipc.")) continue;
    ProcessOptions options;
    options.setEnv = {{"SWAYSOCK", entry.path().string()}};
    return runProcess({"/usr/bin/swaymsg", command}, "", options).exitStatus;
  }
  return -1;
}

void SwaySession::killCompositor() { sway_.reset(); }
