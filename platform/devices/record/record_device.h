// A device that records the intents it is given as text lines and sends nothing: below the input
// policy what the trace platform is above the agent. Tests compare the whole record, so that the
// policy's sequences (chords on one line and across lines, held keys, releases at each ending,
// coalesced motion, notches) are seen without a display server.
//
// Line forms:
//   move X Y                          (%.17g)
//   button left|right|middle down|up  (" click 2" after it for a second click)
//   scroll vertical P px N notches U units, horizontal P px N notches U units
//   key NAME down|up                  (the key table's name)
//   text U+XXXX ...                   (the scalars)
//   deliver
//   wait N us                         (the policy's press spacing; nothing waits)
//   end                               (the device's end)
//
// Its clock stands still unless the test moves it: every motion after the first then counts as
// coming within the coalescing interval.
#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "platform/devices/device.h"

class RecordingDevice final : public Device {
 public:
  // Appends each line to `log`, which must outlive the device. `clock`, when given, is the time
  // the device reports; else the time it was made, always. `unitsPerNotch` is the scroll unit it
  // asks for; `stampedLater` what it says to buttonTimesStampedLater().
  explicit RecordingDevice(std::vector<std::string>& log,
                           const std::chrono::steady_clock::time_point* clock = nullptr,
                           int unitsPerNotch = 0, bool stampedLater = false);
  ~RecordingDevice() override;

  int scrollUnitsPerNotch() const override { return unitsPerNotch; }
  bool buttonTimesStampedLater() const override { return stampedLater; }
  std::chrono::steady_clock::time_point now() const override;
  void moveTo(CGPoint point) override;
  void button(CGMouseButton button, bool press, std::int64_t clickState) override;
  void scroll(const Scroll& scroll) override;
  void key(const PhysicalKey& key, bool press) override;
  void text(std::u32string_view scalars) override;
  void deliver() override;
  void wait(std::chrono::microseconds time) override;

 private:
  std::vector<std::string>& log;
  const std::chrono::steady_clock::time_point* clock;
  std::chrono::steady_clock::time_point made;
  int unitsPerNotch;
  bool stampedLater;
};
