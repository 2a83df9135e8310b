// GNOME: mutter's remote desktop session (see remote_desktop.h).
#include "platform/devices/gnome/remote_desktop.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/devices/linux/linux_input.h"

namespace {

constexpr const char* kRemoteDesktopName = "org.gnome.Mutter.RemoteDesktop";
constexpr const char* kRemoteDesktopPath = "/org/gnome/Mutter/RemoteDesktop";
constexpr const char* kRemoteDesktopSession = "org.gnome.Mutter.RemoteDesktop.Session";
constexpr const char* kScreenCastName = "org.gnome.Mutter.ScreenCast";
constexpr const char* kScreenCastPath = "/org/gnome/Mutter/ScreenCast";
constexpr const char* kScreenCastSession = "org.gnome.Mutter.ScreenCast.Session";
constexpr const char* kScreenCastStream = "org.gnome.Mutter.ScreenCast.Stream";
constexpr const char* kDisplayConfigName = "org.gnome.Mutter.DisplayConfig";
constexpr const char* kDisplayConfigPath = "/org/gnome/Mutter/DisplayConfig";

// How long opening waits for mutter's replies and for its streams.
constexpr int kCallTimeoutMs = 5000;
constexpr gint64 kStreamWaitUs = 5 * G_USEC_PER_SEC;

// The axis event's source: continuous (mutter's flag for it).
constexpr std::uint32_t kAxisSourceContinuous = 1u << 3;

// GLib's messages would go to standard error; the agent writes nothing there.
GLogWriterOutput silentWriter(GLogLevelFlags, const GLogField*, gsize, gpointer) {
  return G_LOG_WRITER_HANDLED;
}

// The bus address: DBUS_SESSION_BUS_ADDRESS, else the bus socket in XDG_RUNTIME_DIR. Never the
// autolaunch that GLib would otherwise try.
std::string sessionBusAddress() {
  const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
  if (address != nullptr && *address != '\0') return address;
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime == nullptr || *runtime == '\0') return "";
  const std::string socket = std::string(runtime) + "/bus";
  if (access(socket.c_str(), F_OK) != 0) return "";
  return "unix:path=" + socket;
}

VariantPtr callSync(GDBusConnection* bus, const char* name, const char* path, const char* interface,
                    const char* method, GVariant* parameters, const char* replyType) {
  GError* error = nullptr;
  GVariant* reply =
      gio().g_dbus_connection_call_sync(bus, name, path, interface, method, parameters,
                                  replyType != nullptr ? variantType(replyType) : nullptr,
                                  G_DBUS_CALL_FLAGS_NO_AUTO_START, kCallTimeoutMs, nullptr, &error);
  ErrorPtr owned(error);
  return VariantPtr(reply);
}

void streamAdded(GDBusConnection*, const gchar*, const gchar* path, const gchar*, const gchar*,
                 GVariant*, gpointer data) {
  auto* streams = static_cast<std::vector<RemoteDesktop::Stream>*>(data);
  for (RemoteDesktop::Stream& stream : *streams) {
    if (stream.path == path) stream.added = true;
  }
}

// The connectors of the monitors that show part of the desktop, from DisplayConfig's state.
std::vector<std::string> monitorConnectors(GDBusConnection* bus) {
  std::vector<std::string> connectors;
  VariantPtr state = callSync(bus, kDisplayConfigName, kDisplayConfigPath, kDisplayConfigName,
                              "GetCurrentState", nullptr, nullptr);
  if (!state || gio().g_variant_n_children(state.get()) < 3) return connectors;
  // (u monitors logical_monitors properties); a logical monitor is (iiduba(ssss)a{sv}), and its
  // monitors (ssss) start with the connector.
  VariantPtr logical(gio().g_variant_get_child_value(state.get(), 2));
  const gsize count = gio().g_variant_n_children(logical.get());
  for (gsize i = 0; i < count; ++i) {
    VariantPtr entry(gio().g_variant_get_child_value(logical.get(), i));
    if (gio().g_variant_n_children(entry.get()) < 6) continue;
    VariantPtr monitors(gio().g_variant_get_child_value(entry.get(), 5));
    const gsize monitorCount = gio().g_variant_n_children(monitors.get());
    for (gsize j = 0; j < monitorCount; ++j) {
      const gchar* connector = nullptr;
      const gchar* vendor = nullptr;
      const gchar* product = nullptr;
      const gchar* serial = nullptr;
      gio().g_variant_get_child(monitors.get(), j, "(&s&s&s&s)", &connector, &vendor, &product, &serial);
      if (connector != nullptr &&
          std::find(connectors.begin(), connectors.end(), connector) == connectors.end()) {
        connectors.emplace_back(connector);
      }
    }
  }
  return connectors;
}

}  // namespace

std::unique_ptr<RemoteDesktop> RemoteDesktop::open(bool forced, std::string& whyNot) {
  if (!forced && !inWaylandSession()) {
    whyNot = "no Wayland session: WAYLAND_DISPLAY is not set";
    return nullptr;
  }
  const std::string address = sessionBusAddress();
  if (address.empty()) {
    whyNot = "no session bus: DBUS_SESSION_BUS_ADDRESS is not set and XDG_RUNTIME_DIR has no bus";
    return nullptr;
  }
  if (!loadGio()) {
    whyNot = "GLib's GIO (libgio-2.0.so.0) cannot be loaded";
    return nullptr;
  }
  // GLib takes a writer once per process.
  static const bool silenced =
      (gio().g_log_set_writer_func(silentWriter, nullptr, nullptr), true);
  (void)silenced;

  std::unique_ptr<RemoteDesktop> self(new RemoteDesktop);
  // Signals are dispatched in the context that was the thread's default when they were
  // subscribed: a private one, iterated only while opening.
  self->context.reset(gio().g_main_context_new());
  gio().g_main_context_push_thread_default(self->context.get());
  const bool started = self->start(whyNot);
  gio().g_main_context_pop_thread_default(self->context.get());
  if (!started) return nullptr;
  return self;
}

bool RemoteDesktop::start(std::string& whyNot) {
  GError* error = nullptr;
  bus.reset(gio().g_dbus_connection_new_for_address_sync(
      sessionBusAddress().c_str(),
      static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                        G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
      nullptr, nullptr, &error));
  ErrorPtr owned(error);
  if (!bus) {
    whyNot = "the session bus does not answer";
    return false;
  }
  gio().g_dbus_connection_set_exit_on_close(bus.get(), FALSE);

  VariantPtr session = callSync(bus.get(), kRemoteDesktopName, kRemoteDesktopPath,
                                kRemoteDesktopName, "CreateSession", nullptr, "(o)");
  if (!session) {
    whyNot = "the session bus has no mutter remote desktop (org.gnome.Mutter.RemoteDesktop)";
    return false;
  }
  const gchar* path = nullptr;
  gio().g_variant_get(session.get(), "(&o)", &path);
  sessionPath = path;

  VariantPtr id = callSync(bus.get(), kRemoteDesktopName, sessionPath.c_str(),
                           "org.freedesktop.DBus.Properties", "Get",
                           gio().g_variant_new("(ss)", kRemoteDesktopSession, "SessionId"), "(v)");
  if (!id) {
    whyNot = "mutter's remote desktop session has no id";
    return false;
  }
  VariantPtr idValue(gio().g_variant_get_child_value(id.get(), 0));
  VariantPtr idString(gio().g_variant_get_variant(idValue.get()));
  if (!gio().g_variant_is_of_type(idString.get(), G_VARIANT_TYPE_STRING)) return false;

  GVariantBuilder properties;
  gio().g_variant_builder_init(&properties, variantType("a{sv}"));
  gio().g_variant_builder_add(&properties, "{sv}", "remote-desktop-session-id",
                        gio().g_variant_new_string(gio().g_variant_get_string(idString.get(), nullptr)));
  VariantPtr screenCast = callSync(bus.get(), kScreenCastName, kScreenCastPath, kScreenCastName,
                                   "CreateSession", gio().g_variant_new("(a{sv})", &properties), "(o)");
  if (!screenCast) {
    whyNot = "mutter's screen cast (org.gnome.Mutter.ScreenCast) refused a session";
    return false;
  }
  gio().g_variant_get(screenCast.get(), "(&o)", &path);
  screenCastPath = path;

  for (const std::string& connector : monitorConnectors(bus.get())) {
    GVariantBuilder none;
    gio().g_variant_builder_init(&none, variantType("a{sv}"));
    VariantPtr stream =
        callSync(bus.get(), kScreenCastName, screenCastPath.c_str(), kScreenCastSession,
                 "RecordMonitor", gio().g_variant_new("(sa{sv})", connector.c_str(), &none), "(o)");
    if (!stream) continue;
    gio().g_variant_get(stream.get(), "(&o)", &path);
    streams.push_back(Stream{path});
  }
  if (streams.empty()) {
    whyNot = "mutter records no monitor";
    return false;
  }
  for (const Stream& stream : streams) {
    subscriptions.push_back(gio().g_dbus_connection_signal_subscribe(
        bus.get(), kScreenCastName, kScreenCastStream, "PipeWireStreamAdded", stream.path.c_str(),
        nullptr, G_DBUS_SIGNAL_FLAGS_NONE, streamAdded, &streams, nullptr));
  }

  if (!callSync(bus.get(), kRemoteDesktopName, sessionPath.c_str(), kRemoteDesktopSession, "Start",
                nullptr, nullptr)) {
    whyNot = "mutter refused to start the remote desktop session";
    return false;
  }
  const gint64 deadline = gio().g_get_monotonic_time() + kStreamWaitUs;
  auto allAdded = [this] {
    return std::all_of(streams.begin(), streams.end(), [](const Stream& s) { return s.added; });
  };
  while (!allAdded() && gio().g_get_monotonic_time() < deadline) {
    gio().g_main_context_iteration(context.get(), FALSE);
    if (!allAdded()) gio().g_usleep(1000);
  }
  for (unsigned subscription : subscriptions) {
    gio().g_dbus_connection_signal_unsubscribe(bus.get(), subscription);
  }
  subscriptions.clear();
  while (gio().g_main_context_iteration(context.get(), FALSE)) {
  }

  // Each stream's place on the desktop.
  for (Stream& stream : streams) {
    VariantPtr reply =
        callSync(bus.get(), kScreenCastName, stream.path.c_str(), "org.freedesktop.DBus.Properties",
                 "Get", gio().g_variant_new("(ss)", kScreenCastStream, "Parameters"), "(v)");
    if (!reply) continue;
    VariantPtr boxed(gio().g_variant_get_child_value(reply.get(), 0));
    VariantPtr parameters(gio().g_variant_get_variant(boxed.get()));
    gio().g_variant_lookup(parameters.get(), "position", "(ii)", &stream.x, &stream.y);
    gio().g_variant_lookup(parameters.get(), "size", "(ii)", &stream.width, &stream.height);
  }
  streams.erase(std::remove_if(streams.begin(), streams.end(),
                               [](const Stream& s) { return s.width <= 0 || s.height <= 0; }),
                streams.end());
  if (streams.empty()) {
    // mutter adds a stream to PipeWire only when PipeWire runs.
    whyNot = "mutter's screen-cast streams did not start (is PipeWire running in the session?)";
    return false;
  }
  return true;
}

RemoteDesktop::~RemoteDesktop() {
  if (!bus) return;
  if (!sessionPath.empty()) {
    // A call with a reply: once it returns, mutter has handled every request before it.
    callSync(bus.get(), kRemoteDesktopName, sessionPath.c_str(), kRemoteDesktopSession, "Stop",
             nullptr, nullptr);
  }
  gio().g_dbus_connection_close_sync(bus.get(), nullptr, nullptr);
}

void RemoteDesktop::notify(const char* method, GVariant* parameters) {
  unflushed = true;
  // Without a callback the call is sent with "no reply expected".
  gio().g_dbus_connection_call(bus.get(), kRemoteDesktopName, sessionPath.c_str(), kRemoteDesktopSession,
                         method, parameters, nullptr, G_DBUS_CALL_FLAGS_NO_AUTO_START, -1, nullptr,
                         nullptr, nullptr);
}

void RemoteDesktop::moveTo(CGPoint point) {
  // The monitor nearest to the point (distance 0 for the one that holds it), and the nearest
  // pixel of it.
  const Stream* best = nullptr;
  double bestDistance = 0;
  double bestX = 0, bestY = 0;
  for (const Stream& stream : streams) {
    const double x = std::clamp(point.x, static_cast<double>(stream.x),
                                static_cast<double>(stream.x) + stream.width - 1);
    const double y = std::clamp(point.y, static_cast<double>(stream.y),
                                static_cast<double>(stream.y) + stream.height - 1);
    const double distance = std::hypot(point.x - x, point.y - y);
    if (best == nullptr || distance < bestDistance) {
      best = &stream;
      bestDistance = distance;
      bestX = x - stream.x;
      bestY = y - stream.y;
    }
  }
  if (best == nullptr) return;
  notify("NotifyPointerMotionAbsolute", gio().g_variant_new("(sdd)", best->path.c_str(), bestX, bestY));
}

void RemoteDesktop::button(std::uint32_t linuxButton, bool press) {
  notify("NotifyPointerButton", gio().g_variant_new("(ib)", static_cast<gint32>(linuxButton), press));
}

void RemoteDesktop::axis(double dx, double dy) {
  notify("NotifyPointerAxis", gio().g_variant_new("(ddu)", dx, dy, kAxisSourceContinuous));
}

void RemoteDesktop::keycode(std::uint32_t linuxCode, bool press) {
  notify("NotifyKeyboardKeycode", gio().g_variant_new("(ub)", linuxCode, press));
}

void RemoteDesktop::keysym(std::uint32_t keysym, bool press) {
  notify("NotifyKeyboardKeysym", gio().g_variant_new("(ub)", keysym, press));
}

void RemoteDesktop::flush() {
  if (!unflushed) return;
  unflushed = false;
  gio().g_dbus_connection_flush_sync(bus.get(), nullptr, nullptr);
}
