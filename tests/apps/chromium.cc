#include "apps/chromium.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// A descriptor moved above the standard ones and 3 and 4, so that the child's dup2 to 3 and 4
// cannot overwrite one with the other.
int high(int fd) {
  const int moved = fcntl(fd, F_DUPFD_CLOEXEC, 10);
  close(fd);
  return moved;
}

}  // namespace

Chromium::Chromium(const std::string& display, const std::string& url, int width, int height) {
  start({{"DISPLAY", display}}, false, url, width, height, false);
}

Chromium::Chromium(const std::vector<std::pair<std::string, std::string>>& environment,
                   const std::string& url, int width, int height, bool fullscreen) {
  start(environment, true, url, width, height, fullscreen);
}

void Chromium::start(const std::vector<std::pair<std::string, std::string>>& environment,
                     bool wayland, const std::string& url, int width, int height, bool fullscreen) {
  char dir[] = "/tmp/apps-test-profile-XXXXXX";
  if (mkdtemp(dir) == nullptr) return;
  profile = dir;
  int in[2], out[2];
  if (pipe2(in, O_CLOEXEC) != 0) return;
  if (pipe2(out, O_CLOEXEC) != 0) {
    close(in[0]);
    close(in[1]);
    return;
  }
  const int childIn = high(in[0]), childOut = high(out[1]);
  toBrowser = high(in[1]);
  fromBrowser = high(out[0]);

  std::vector<std::string> argv = {
      "chromium",
      "--no-sandbox",
      wayland ? "--ozone-platform=wayland" : "--ozone-platform=x11",
      "--no-first-run",
      "--disable-background-networking",
      "--disable-component-update",
      "--disable-sync",
      "--disable-gpu",
      "--user-data-dir=" + profile,
      "--remote-debugging-pipe",
      "--window-position=0,0",
      "--window-size=" + std::to_string(width) + "," + std::to_string(height),
      "--app=" + url};
  if (fullscreen) argv.insert(argv.end() - 1, "--start-fullscreen");
  std::vector<std::string> env;
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string_view entry(*e);
    if (entry.starts_with("DISPLAY=") || entry.starts_with("WAYLAND_DISPLAY=") ||
        entry.starts_with("WAYLAND_SOCKET=")) {
      continue;
    }
    bool replaced = false;
    for (const auto& [name, value] : environment) {
      replaced = replaced || entry.starts_with(name + "=");
    }
    if (!replaced) env.emplace_back(entry);
  }
  for (const auto& [name, value] : environment) env.push_back(name + "=" + value);
  std::vector<char*> args, envp;
  for (auto& a : argv) args.push_back(a.data());
  args.push_back(nullptr);
  for (auto& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, childIn, 3);
  posix_spawn_file_actions_adddup2(&actions, childOut, 4);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  // A process group of its own, so that its helper processes go with it.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setpgroup(&attributes, 0);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
  const int rc = posix_spawnp(&pid, "chromium", &actions, &attributes, args.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  close(childIn);
  close(childOut);
  if (rc != 0) {
    pid = -1;
    return;
  }

  // The page's target, once it exists, then a session attached to it.
  const auto deadline = Clock::now() + std::chrono::seconds(30);
  std::string target;
  while (target.empty() && Clock::now() < deadline) {
    const nlohmann::json targets = call("Target.getTargets", nlohmann::json::object());
    if (targets.is_null()) return;
    for (const auto& info : targets["result"]["targetInfos"]) {
      if (info["type"] == "page") target = info["targetId"];
    }
    if (target.empty()) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  if (target.empty()) return;
  const nlohmann::json attached =
      call("Target.attachToTarget", {{"targetId", target}, {"flatten", true}});
  if (attached.is_null() || !attached["result"].contains("sessionId")) return;
  session = attached["result"]["sessionId"];
  // The window may show a blank page before the one asked for.
  while (evaluate("location.href + ' ' + document.readyState") != url + " complete") {
    if (Clock::now() > deadline) {
      session.clear();
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

Chromium::~Chromium() {
  if (toBrowser >= 0) close(toBrowser);
  if (fromBrowser >= 0) close(fromBrowser);
  if (pid > 0) {
    kill(-pid, SIGKILL);
    int status;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }
  if (!profile.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(profile, ignored);
  }
}

nlohmann::json Chromium::call(const std::string& method, const nlohmann::json& params,
                              const std::string& sessionId) {
  nlohmann::json message = {{"id", ++lastId}, {"method", method}, {"params", params}};
  if (!sessionId.empty()) message["sessionId"] = sessionId;
  std::string bytes = message.dump();
  bytes.push_back('\0');
  for (std::size_t sent = 0; sent < bytes.size();) {
    const ssize_t n = write(toBrowser, bytes.data() + sent, bytes.size() - sent);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return nullptr;
    sent += static_cast<std::size_t>(n);
  }
  const auto deadline = Clock::now() + std::chrono::seconds(10);
  for (;;) {
    for (std::size_t end; (end = received.find('\0')) != std::string::npos;) {
      nlohmann::json answer = nlohmann::json::parse(received.substr(0, end), nullptr, false);
      received.erase(0, end + 1);
      if (answer.is_object() && answer.value("id", 0) == lastId) return answer;
    }
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    pollfd p{fromBrowser, POLLIN, 0};
    if (left <= 0 || poll(&p, 1, static_cast<int>(left)) <= 0) return nullptr;
    char buffer[65536];
    const ssize_t n = read(fromBrowser, buffer, sizeof buffer);
    if (n <= 0) return nullptr;
    received.append(buffer, static_cast<std::size_t>(n));
  }
}

nlohmann::json Chromium::evaluate(const std::string& expression) {
  const nlohmann::json answer =
      call("Runtime.evaluate", {{"expression", expression}, {"returnByValue", true}}, session);
  if (answer.is_null() || !answer.contains("result")) return nullptr;
  const nlohmann::json& result = answer["result"]["result"];
  return result.contains("value") ? result["value"] : nlohmann::json();
}
