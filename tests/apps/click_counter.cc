#include "apps/click_counter.h"

#include <utility>

ClickCounter::ClickCounter(const std::string& toolkit, bool wayland, ProcessOptions options)
    : toolkit_(toolkit) {
  if (toolkit == "gtk") {
    options.setEnv.emplace_back("GDK_BACKEND", wayland ? "wayland" : "x11");
    options.setEnv.emplace_back("NO_AT_BRIDGE", "1");
  } else {
    options.setEnv.emplace_back("QT_QPA_PLATFORM", wayland ? "wayland" : "xcb");
    options.setEnv.emplace_back("QT_ACCESSIBILITY", "0");
  }
  if (wayland) options.unsetEnv.push_back("DISPLAY");
  process_ = std::make_unique<RunningProcess>(
      std::vector<std::string>{"/usr/bin/python3", APPS_DIR "/click_counter.py", toolkit},
      std::move(options));
  started_ = process_->waitForOut("READY\n", 20000);
  from_ = process_->out().size();
}

ClickCounter::~ClickCounter() { process_->finish(); }

bool ClickCounter::installed(const std::string& toolkit, bool wayland) {
  std::string check =
      toolkit == "gtk"
          ? "import gi; gi.require_version('Gtk', '3.0'); from gi.repository import Gtk"
          : "import PyQt5.QtWidgets";
  if (toolkit != "gtk" && wayland) {
    check =
        "import os, sys; from PyQt5.QtCore import QLibraryInfo as L; import PyQt5.QtWidgets; "
        "sys.exit(not os.path.exists(L.location(L.PluginsPath) + "
        "'/platforms/libqwayland-generic.so'))";
  }
  ProcessOptions options;
  options.unsetEnv = {"DISPLAY", "WAYLAND_DISPLAY"};
  return runProcess({"/usr/bin/python3", "-c", check}, "", options).exitStatus == 0;
}

std::vector<std::string> ClickCounter::presses() {
  process_->waitForOut("\x01", 50);  // nothing prints it: collects what has arrived
  std::vector<std::string> lines;
  const std::string& out = process_->out();
  for (std::size_t start = from_, end; (end = out.find('\n', start)) != std::string::npos;
       start = end + 1) {
    lines.push_back(out.substr(start, end - start));
  }
  return lines;
}

void ClickCounter::clear() {
  process_->waitForOut("\x01", 50);
  from_ = process_->out().size();
}
