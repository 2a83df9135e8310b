// The recording device (see record_device.h).
#include "platform/devices/record/record_device.h"

#include <cinttypes>
#include <cstdio>

RecordingDevice::RecordingDevice(std::vector<std::string>& log,
                                 const std::chrono::steady_clock::time_point* clock,
                                 int unitsPerNotch, bool stampedLater)
    : log(log),
      clock(clock),
      made(std::chrono::steady_clock::now()),
      unitsPerNotch(unitsPerNotch),
      stampedLater(stampedLater) {}

RecordingDevice::~RecordingDevice() { log.emplace_back("end"); }

std::chrono::steady_clock::time_point RecordingDevice::now() const {
  return clock != nullptr ? *clock : made;
}

void RecordingDevice::moveTo(CGPoint point) {
  char line[96];
  std::snprintf(line, sizeof line, "move %.17g %.17g", point.x, point.y);
  log.emplace_back(line);
}

void RecordingDevice::button(CGMouseButton button, bool press, std::int64_t clickState) {
  const char* name = button == kCGMouseButtonRight    ? "right"
                     : button == kCGMouseButtonCenter ? "middle"
                                                      : "left";
  std::string line = std::string("button ") + name + (press ? " down" : " up");
  if (clickState >= 2) line += " click " + std::to_string(clickState);
  log.push_back(line);
}

void RecordingDevice::scroll(const Scroll& scroll) {
  char line[200];
  std::snprintf(line, sizeof line,
                "scroll vertical %" PRId64 " px %" PRId64 " notches %" PRId64
                " units, horizontal %" PRId64 " px %" PRId64 " notches %" PRId64 " units",
                scroll.vertical.pixels, scroll.vertical.notches, scroll.vertical.units,
                scroll.horizontal.pixels, scroll.horizontal.notches, scroll.horizontal.units);
  log.emplace_back(line);
}

void RecordingDevice::key(const PhysicalKey& key, bool press) {
  log.push_back("key " + std::string(key.name) + (press ? " down" : " up"));
}

void RecordingDevice::text(std::u32string_view scalars) {
  std::string line = "text";
  for (const char32_t scalar : scalars) {
    char unit[16];
    std::snprintf(unit, sizeof unit, " U+%04X", static_cast<unsigned>(scalar));
    line += unit;
  }
  log.push_back(line);
}

void RecordingDevice::deliver() { log.emplace_back("deliver"); }

void RecordingDevice::wait(std::chrono::microseconds time) {
  log.push_back("wait " + std::to_string(time.count()) + " us");
}
