// The input policy against the recording device: the key, pointer and scroll sequences a device
// is given for the agent's events, with the clock under the test's control.
#include "platform/devices/input_policy.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "platform/devices/record/record_device.h"

namespace {

using namespace std::chrono_literals;

CGKeyCode vk(const char* name) { return *macVirtualKeyCode(name); }

constexpr CGEventFlags kShift = kCGEventFlagMaskShift;
constexpr CGEventFlags kCtrl = kCGEventFlagMaskControl;
constexpr CGEventFlags kAlt = kCGEventFlagMaskAlternate;
constexpr CGEventFlags kMeta = kCGEventFlagMaskCommand;

class Policy : public testing::Test {
 protected:
  explicit Policy(int unitsPerNotch = 0, bool stampedLater = false)
      : policy(std::make_unique<InputPolicy>(
            std::make_unique<RecordingDevice>(log, &clock, unitsPerNotch, stampedLater))) {}

  // The record without its "deliver" lines.
  std::vector<std::string> intents() const {
    std::vector<std::string> kept;
    for (const std::string& line : log) {
      if (line != "deliver") kept.push_back(line);
    }
    return kept;
  }
  std::vector<std::string> takeIntents() {
    std::vector<std::string> kept = intents();
    log.clear();
    return kept;
  }
  void end() { policy.reset(); }

  void key(const char* name, bool down, CGEventFlags flags = 0) {
    policy->key(vk(name), down, flags);
  }
  void tap(const char* name, CGEventFlags flags = 0) {
    key(name, true, flags);
    key(name, false, flags);
  }
  void move(double x, double y) {
    policy->mouse(kCGEventMouseMoved, {x, y}, kCGMouseButtonLeft, 0);
  }
  void press(double x, double y, bool down, CGMouseButton button = kCGMouseButtonLeft) {
    policy->mouse(down ? kCGEventLeftMouseDown : kCGEventLeftMouseUp, {x, y}, button, 1);
  }

  std::vector<std::string> log;
  std::chrono::steady_clock::time_point clock{};
  std::unique_ptr<InputPolicy> policy;
};

// Each case is a series of key events (a name, down or up, flags); the device gets exactly
// these presses and releases.
TEST_F(Policy, ChordsMatchWhatAPersonDoes) {
  struct Event {
    const char* name;
    bool down;
    CGEventFlags flags;
  };
  const struct {
    const char* what;
    std::vector<Event> events;
    std::vector<std::string> expected;
  } cases[] = {
      {"a tap with a flag",
       {{"KeyC", true, kMeta}, {"KeyC", false, kMeta}},
       {"key MetaLeft down", "key KeyC down", "key KeyC up", "key MetaLeft up"}},
      {"flags press their left keys in order and release them in reverse",
       {{"KeyC", true, kCtrl | kAlt | kShift}, {"KeyC", false, kCtrl | kAlt | kShift}},
       {"key ShiftLeft down", "key ControlLeft down", "key AltLeft down", "key KeyC down",
        "key KeyC up", "key AltLeft up", "key ControlLeft up", "key ShiftLeft up"}},
      {"an up presses nothing, whatever its flags",
       {{"KeyV", true, kCtrl}, {"KeyV", false, 0}},
       {"key ControlLeft down", "key KeyV down", "key KeyV up", "key ControlLeft up"}},
      {"a down whose flags lack a modifier held for an earlier key releases it first",
       {{"KeyC", true, kMeta}, {"KeyV", true, 0}, {"KeyC", false, kMeta}, {"KeyV", false, 0}},
       {"key MetaLeft down", "key KeyC down", "key MetaLeft up", "key KeyV down", "key KeyC up",
        "key KeyV up"}},
      {"a modifier two held keys need goes up with the last of them",
       {{"KeyC", true, kMeta},
        {"KeyV", true, kMeta},
        {"KeyC", false, kMeta},
        {"KeyV", false, kMeta}},
       {"key MetaLeft down", "key KeyC down", "key KeyV down", "key KeyC up", "key KeyV up",
        "key MetaLeft up"}},
      {"a modifier the controller holds is never touched",
       {{"ShiftRight", true, kShift},
        {"KeyA", true, kShift},
        {"KeyA", false, kShift},
        {"KeyB", true, 0},
        {"KeyB", false, 0},
        {"ShiftRight", false, 0}},
       {"key ShiftRight down", "key KeyA down", "key KeyA up", "key KeyB down", "key KeyB up",
        "key ShiftRight up"}},
      {"the controller's own press of a modifier held for flags makes it the controller's",
       {{"KeyC", true, kMeta},
        {"MetaLeft", true, kMeta},
        {"KeyC", false, kMeta},
        {"MetaLeft", false, 0}},
       {"key MetaLeft down", "key KeyC down", "key KeyC up", "key MetaLeft up"}},
      {"a modifier key's own flags press nothing",
       {{"ShiftLeft", true, kMeta | kShift}, {"ShiftLeft", false, kMeta}},
       {"key ShiftLeft down", "key ShiftLeft up"}},
      {"a modifier named by its code is tapped alone, as asked",
       {{"MetaLeft", true, 0}, {"MetaLeft", false, 0}},
       {"key MetaLeft down", "key MetaLeft up"}},
      {"a held key is pressed once, however often its down repeats, and released once",
       {{"KeyZ", true, 0},
        {"KeyZ", true, 0},
        {"KeyZ", true, kShift},
        {"KeyZ", false, 0},
        {"KeyZ", false, 0}},
       {"key KeyZ down", "key KeyZ up"}},
      {"an up for a key the agent does not hold releases nothing", {{"KeyQ", false, kCtrl}}, {}},
  };
  for (const auto& c : cases) {
    log.clear();
    for (const Event& e : c.events) key(e.name, e.down, e.flags);
    EXPECT_EQ(intents(), c.expected) << c.what;
    end();
    policy = std::make_unique<InputPolicy>(std::make_unique<RecordingDevice>(log, &clock));
  }
}

TEST_F(Policy, KeysWithoutARowAreIgnored) {
  policy->key(10, true, kMeta);
  policy->key(10, false, kMeta);
  EXPECT_EQ(intents(), std::vector<std::string>{});
}

TEST_F(Policy, TextReleasesTheModifiersHeldForFlagsAndIsTypedOnItsKeyDown) {
  key("ShiftLeft", true);
  key("KeyC", true, kCtrl | kShift);
  const std::vector<UniChar> smile = {0xD83D, 0xDE00, 0xE9, 0xD800};  // a lone surrogate last
  policy->text(smile, true);
  policy->text(smile, false);
  key("KeyC", false, kCtrl);
  EXPECT_EQ(intents(),
            (std::vector<std::string>{"key ShiftLeft down", "key ControlLeft down", "key KeyC down",
                                      "key ControlLeft up", "text U+1F600 U+00E9", "key KeyC up"}));
}

TEST_F(Policy, TheEndReleasesKeysLastPressedFirstThenButtons) {
  key("ShiftRight", true);
  key("KeyZ", true, kMeta);
  press(5, 6, true, kCGMouseButtonCenter);
  press(5, 6, true, kCGMouseButtonRight);
  log.clear();
  end();
  EXPECT_EQ(intents(),
            (std::vector<std::string>{"key KeyZ up", "key MetaLeft up", "key ShiftRight up",
                                      "button right up", "button middle up", "end"}));
  EXPECT_EQ(log[log.size() - 2], "deliver");
}

TEST_F(Policy, MotionWithinTheIntervalIsHeldAndTheLastPositionAlwaysArrives) {
  move(1, 1);  // the first motion goes at once
  move(2, 2);  // within the interval: held
  move(3, 3);  // replaces it
  EXPECT_EQ(takeIntents(), std::vector<std::string>{"move 1 1"});
  clock += InputPolicy::kMotionInterval;
  move(4, 4);  // the interval has passed: sent, and the held one is dropped
  EXPECT_EQ(takeIntents(), std::vector<std::string>{"move 4 4"});

  move(5, 5);
  policy->endOfLine();  // the end of a line sends nothing held: the next line may be waiting
  EXPECT_EQ(takeIntents(), std::vector<std::string>{});
  policy->awaitingInput();
  EXPECT_EQ(log, (std::vector<std::string>{"move 5 5", "deliver"}));
  log.clear();

  // Nothing held: waiting for input sends nothing.
  policy->awaitingInput();
  EXPECT_EQ(log, std::vector<std::string>{});

  move(6, 6);
  end();
  EXPECT_EQ(intents(), (std::vector<std::string>{"move 6 6", "end"}));
}

TEST_F(Policy, AHeldMotionGoesBeforeAnyOtherEvent) {
  const struct {
    const char* what;
    void (*event)(InputPolicy&);
    std::string first;
  } cases[] = {
      {"scroll", [](InputPolicy& p) { p.scroll(-100, 0); }, "scroll"},
      {"scroll of nothing", [](InputPolicy& p) { p.scroll(0, 0); }, ""},
      {"key", [](InputPolicy& p) { p.key(vk("KeyA"), true, 0); }, "key KeyA down"},
      {"text", [](InputPolicy& p) { p.text(std::vector<UniChar>{'x'}, true); }, "text U+0078"},
  };
  for (const auto& c : cases) {
    move(0, 0);
    clock += 1h;
    move(1, 1);
    move(7, 8);  // held
    log.clear();
    c.event(*policy);
    const std::vector<std::string> seen = intents();
    ASSERT_FALSE(seen.empty()) << c.what;
    EXPECT_EQ(seen[0], "move 7 8") << c.what;
    if (!c.first.empty()) {
      ASSERT_EQ(seen.size(), 2u) << c.what;
      EXPECT_EQ(seen[1].substr(0, c.first.size()), c.first) << c.what;
    }
  }
}

TEST_F(Policy, APressGoesToItsPointUnlessThePointerIsThere) {
  move(10, 20);
  press(10, 20, true);   // already there: no motion
  move(30, 40);          // held
  press(30, 41, false);  // the held motion, then the press's own point
  press(30, 41, true);
  press(NAN, 5, false);  // not finite: where the pointer is
  EXPECT_EQ(intents(),
            (std::vector<std::string>{"move 10 20", "button left down", "move 30 40", "move 30 41",
                                      "button left up", "button left down", "button left up"}));
}

TEST_F(Policy, PointsThatAreNotFiniteMoveNothing) {
  move(NAN, 1);
  move(1, INFINITY);
  EXPECT_EQ(intents(), std::vector<std::string>{});
}

// A device whose desktop stamps button events with its own clock: presses are spaced.
class StampedLater : public Policy {
 protected:
  StampedLater() : Policy(0, true) {}
};

TEST_F(StampedLater, APressWithinTheSpacingOfTheLastWaitsForTheRestAfterADelivery) {
  press(5, 5, true);
  press(5, 5, false);
  clock += 500us;
  press(5, 5, true);  // 0.5 ms after the first press: waits 4.5 ms, after a delivery
  press(5, 5, false);
  clock += 10ms;
  press(5, 5, true);  // more than 5 ms after the second press went (once its wait was over)
  press(5, 5, false);
  press(5, 5, true, kCGMouseButtonRight);  // any button's press counts
  EXPECT_EQ(log, (std::vector<std::string>{"move 5 5", "button left down", "button left up",
                                           "deliver", "wait 4500 us", "button left down",
                                           "button left up", "button left down", "button left up",
                                           "deliver", "wait 5000 us", "button right down"}));
}

TEST_F(Policy, PressesAreNotSpacedWhereTheDeviceSetsTheTimes) {
  for (int i = 0; i < 3; ++i) {
    press(5, 5, true);
    press(5, 5, false);
  }
  EXPECT_EQ(std::count(log.begin(), log.end(), "deliver"), 0);
  EXPECT_EQ(intents().size(), 7u);
}

class Scrolling : public Policy {
 protected:
  Scrolling() : Policy(120) {}
};

// Wheel values as the agent makes them (negated pixels: -30 is 30 px down); the device gets the
// pixels, the notches they complete with what earlier scrolls left, and its own units.
TEST_F(Scrolling, PixelsBecomeNotchesWithTheRestCarried) {
  const struct {
    const char* what;
    std::vector<std::pair<std::int32_t, std::int32_t>> wheels;  // wheel 1, wheel 2
    std::vector<std::string> expected;
  } cases[] = {
      {"a notch and a fifth",
       {{-120, 0}},
       {"scroll vertical 120 px 1 notches 144 units, horizontal 0 px 0 notches 0 units"}},
      {"four small scrolls make a notch with the fourth",
       {{-30, 0}, {-30, 0}, {-30, 0}, {-30, 0}},
       {"scroll vertical 30 px 0 notches 36 units, horizontal 0 px 0 notches 0 units",
        "scroll vertical 30 px 0 notches 36 units, horizontal 0 px 0 notches 0 units",
        "scroll vertical 30 px 0 notches 36 units, horizontal 0 px 0 notches 0 units",
        "scroll vertical 30 px 1 notches 36 units, horizontal 0 px 0 notches 0 units"}},
      {"up and left are negative",
       {{100, 250}},
       {"scroll vertical -100 px -1 notches -120 units, horizontal -250 px -2 notches -300 units"}},
      {"a change of direction drops what was left",
       {{-60, 0}, {30, 0}, {-60, 0}},
       {"scroll vertical 60 px 0 notches 72 units, horizontal 0 px 0 notches 0 units",
        "scroll vertical -30 px 0 notches -36 units, horizontal 0 px 0 notches 0 units",
        "scroll vertical 60 px 0 notches 72 units, horizontal 0 px 0 notches 0 units"}},
      {"units carry their own rest: 1.2 units a pixel",
       {{-1, 0}, {-1, 0}, {-1, 0}, {-1, 0}, {-1, 0}},
       {"scroll vertical 1 px 0 notches 1 units, horizontal 0 px 0 notches 0 units",
        "scroll vertical 1 px 0 notches 1 units, horizontal 0 px 0 notches 0 units",
        "scroll vertical 1 px 0 notches 1 units, horizontal 0 px 0 notches 0 units",
        "scroll vertical 1 px 0 notches 1 units, horizontal 0 px 0 notches 0 units",
        "scroll vertical 1 px 0 notches 2 units, horizontal 0 px 0 notches 0 units"}},
      {"one scroll moves at most 100 notches",
       {{-2147483647 - 1, 2147483647}},
       {"scroll vertical 10000 px 100 notches 12000 units, horizontal -10000 px -100 notches "
        "-12000 units"}},
      {"nothing to scroll sends nothing", {{0, 0}}, {}},
  };
  for (const auto& c : cases) {
    log.clear();
    for (const auto& [wheel1, wheel2] : c.wheels) policy->scroll(wheel1, wheel2);
    EXPECT_EQ(intents(), c.expected) << c.what;
    end();
    policy = std::make_unique<InputPolicy>(std::make_unique<RecordingDevice>(log, &clock, 120));
  }
}

}  // namespace
