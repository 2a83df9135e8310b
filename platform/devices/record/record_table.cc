// The route table of the recording agent (input-agent-record, for tests): one route, "record",
// whose device writes what it records to standard error, as the trace platform writes its calls,
// and takes no other route. Written out at every delivery and at the end.
#include <cstdio>

#include "platform/devices/record/record_device.h"
#include "platform/devices/routes.h"

namespace {

// The record of the one device, written out and emptied at each delivery.
class StderrRecord {
 public:
  ~StderrRecord() { writeOut(); }
  std::vector<std::string> lines;
  void writeOut() {
    for (const std::string& line : lines) std::fprintf(stderr, "%s\n", line.c_str());
    lines.clear();
    std::fflush(stderr);
  }
};
StderrRecord record;

class StderrRecordingDevice final : public Device {
 public:
  StderrRecordingDevice() : device(record.lines) {}
  ~StderrRecordingDevice() override = default;
  int scrollUnitsPerNotch() const override { return device.scrollUnitsPerNotch(); }
  std::chrono::steady_clock::time_point now() const override { return device.now(); }
  void moveTo(CGPoint point) override { device.moveTo(point); }
  void button(CGMouseButton button, bool press, std::int64_t clickState) override {
    device.button(button, press, clickState);
  }
  void scroll(const Scroll& scroll) override { device.scroll(scroll); }
  void key(const PhysicalKey& key, bool press) override { device.key(key, press); }
  void text(std::u32string_view scalars) override { device.text(scalars); }
  void deliver() override {
    device.deliver();
    record.writeOut();
  }

 private:
  RecordingDevice device;
};

std::unique_ptr<Device> openRecordRoute(bool, std::string&) {
  return std::make_unique<StderrRecordingDevice>();
}

const RouteEntry kRoutes[] = {{"record", openRecordRoute}};

}  // namespace

std::span<const RouteEntry> routeTable() { return kRoutes; }
