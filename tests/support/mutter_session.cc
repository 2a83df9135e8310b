// A private headless mutter session (see mutter_session.h).
#include "support/mutter_session.h"

#include <gio/gio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#ifndef WAYLAND_RECEIVER
#error "WAYLAND_RECEIVER must name the receiver program"
#endif
#ifndef AGENT
#error "AGENT must name the agent"
#endif

namespace {

constexpr const char* kMutter = "/usr/bin/mutter";
constexpr const char* kDbusDaemon = "/usr/bin/dbus-daemon";
constexpr const char* kPipewire = "/usr/bin/pipewire";
constexpr const char* kSocket = "mutter-test-0";

bool isSocket(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISSOCK(info.st_mode);
}

// Waits until the condition holds; false after the time.
template <typename Condition>
bool waitFor(Condition&& condition, int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

// Whether a name has an owner on the bus at this address.
bool nameOwned(const std::string& address, const char* name) {
  GDBusConnection* bus = g_dbus_connection_new_for_address_sync(
      address.c_str(),
      static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                        G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
      nullptr, nullptr, nullptr);
  if (bus == nullptr) return false;
  GVariant* reply = g_dbus_connection_call_sync(
      bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "NameHasOwner",
      g_variant_new("(s)", name), G_VARIANT_TYPE("(b)"), G_DBUS_CALL_FLAGS_NONE, 1000, nullptr,
      nullptr);
  gboolean owned = FALSE;
  if (reply != nullptr) {
    g_variant_get(reply, "(b)", &owned);
    g_variant_unref(reply);
  }
  g_object_unref(bus);
  return owned != FALSE;
}

}  // namespace

bool MutterSession::installed() {
  return access(kMutter, X_OK) == 0 && access(kDbusDaemon, X_OK) == 0 &&
         access(kPipewire, X_OK) == 0;
}

MutterSession::MutterSession(const std::vector<std::string>& monitors) {
  char pattern[] = "/tmp/input-agent-mutter.XXXXXX";
  if (mkdtemp(pattern) == nullptr) {
    failure_ = "no runtime folder";
    return;
  }
  dir_ = pattern;
  const std::string address = "unix:path=" + dir_ + "/bus";

  ProcessOptions options;
  options.setEnv = {
      {"XDG_RUNTIME_DIR", dir_}, {"HOME", dir_}, {"DBUS_SESSION_BUS_ADDRESS", address}};
  options.unsetEnv = {"DISPLAY", "WAYLAND_DISPLAY", "WAYLAND_SOCKET"};
  options.noStdin = true;
  auto quiet = [&](const std::string& name, const std::string& command) {
    return std::make_unique<RunningProcess>(
        std::vector<std::string>{"/bin/sh", "-c",
                                 "exec " + command + " >" + dir_ + "/" + name + ".log 2>&1"},
        options);
  };
  bus_ = quiet("dbus", std::string(kDbusDaemon) + " --session --nofork --address=" + address);
  if (!waitFor([&] { return isSocket(dir_ + "/bus"); }, 10000)) {
    failure_ = "dbus-daemon did not start";
    return;
  }
  pipewire_ = quiet("pipewire", kPipewire);
  std::string mutter = std::string(kMutter) + " --wayland --headless --no-x11";
  for (const std::string& size : monitors) mutter += " --virtual-monitor " + size;
  mutter_ = quiet("mutter", mutter + " --wayland-display " + kSocket);
  if (!waitFor([&] { return isSocket(dir_ + "/" + kSocket); }, 15000) ||
      !waitFor([&] { return nameOwned(address, "org.gnome.Mutter.RemoteDesktop"); }, 15000)) {
    failure_ = "mutter did not start";
    return;
  }

  ProcessOptions clientOptions;
  clientOptions.setEnv = environment();
  clientOptions.unsetEnv = {"DISPLAY", "INPUT_AGENT_BACKEND"};
  ProcessOptions keeperOptions = clientOptions;
  keeperOptions.setEnv.emplace_back("INPUT_AGENT_BACKEND", "gnome");
  keeper_ = std::make_unique<RunningProcess>(std::vector<std::string>{AGENT}, keeperOptions);
  if (!keeper_->waitForOut("READY\n", 10000) ||
      !keeper_->write("{\"cmd\":\"key\",\"code\":\"ShiftLeft\"}\n")) {
    failure_ = "the remote desktop client did not start";
    return;
  }
  // An agent that ends has had every request handled (its session's Stop is answered after
  // them), and the keeper's tap was sent before it started.
  runProcess({AGENT}, "{\"cmd\":\"key\",\"code\":\"ShiftLeft\"}\n", keeperOptions);

  receiver_ =
      std::make_unique<RunningProcess>(std::vector<std::string>{WAYLAND_RECEIVER}, clientOptions);
  if (!receiver_->waitForOut("ready\n", 15000)) {
    std::ifstream log(dir_ + "/mutter.log");
    failure_ = "the receiver did not start: " + receiver_->err() + "\nmutter's log:\n" +
               std::string(std::istreambuf_iterator<char>(log), std::istreambuf_iterator<char>());
    return;
  }
  // Mutter maps the window and only then makes it full screen: until then the receiver would
  // report positions in a window placed elsewhere. Ready once a motion lands where it was put.
  // Each try goes to a point of its own: motions arrive in order, so when one lands every
  // earlier try has arrived too. (With two points taking turns, a late try matched under load
  // with mutter 48, and the tries sent after it arrived among a test's lines.)
  for (int i = 0;; ++i) {
    if (i == 300) {
      failure_ = "the receiver's window never covered the monitor: " + receiver_->out();
      return;
    }
    const std::string x = std::to_string(7 + i);
    const std::size_t from = receiver_->out().size();
    keeper_->write("M " + x + " 9\n");
    if (receiver_->waitForOut("motion " + x + " 9\n", 50, from)) break;
  }
}

MutterSession::~MutterSession() {
  receiver_.reset();
  if (keeper_) keeper_->finish();
  keeper_.reset();
  mutter_.reset();
  pipewire_.reset();
  bus_.reset();
  if (!dir_.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }
}

std::vector<std::pair<std::string, std::string>> MutterSession::environment() const {
  return {{"XDG_RUNTIME_DIR", dir_},
          {"WAYLAND_DISPLAY", kSocket},
          {"DBUS_SESSION_BUS_ADDRESS", "unix:path=" + dir_ + "/bus"}};
}
