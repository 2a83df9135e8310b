// The KDE route under headless KWin: pointer, buttons, scrolling, keys by physical key, chords,
// the Linux shortcuts, text within the layout, release at exit and the choice of route, as the
// tests' own window receives them.
#include <linux/input-event-codes.h>
#include <signal.h>

#include <cmath>

#include "keys/key_table.h"
#include "support/fixed_values.h"
#include "support/kwin_session.h"
#include "support/receiver_fixture.h"
#include "support/route_cases.h"

namespace {

using Kde = ReceiverTest<KWinSession>;

// Fake input carries the point as wl_fixed_t: KWin 6 places the pointer there to within its
// 1/256 of a pixel (640.398 for 640.4), KWin 5.27 on the whole pixel nearest to it (640).
TEST_F(Kde, MotionIsAbsoluteInGlobalCoordinates) {
  const SameNumber samePosition = [](double seen, double sent) {
    return withinFixedSteps(1)(seen, sent) || seen == std::round(sent);
  };
  EXPECT_TRUE(sameLines(
      run(everyMotion({"M 100 200", "{\"cmd\":\"move\",\"x\":1279,\"y\":799}", "M 0 0",
                       "M 640.4 400", "M nan 5", "M 3 4"}),
          {"motion"}),
      {"motion 100 200", "motion 1279 799", "motion 0 0", "motion 640.4 400", "motion 3 4"},
      samePosition));
}

TEST_F(Kde, ButtonsPressDragAndRelease) {
  const struct {
    const char* name;
    int code;
  } buttons[] = {{"left", BTN_LEFT}, {"right", BTN_RIGHT}, {"middle", BTN_MIDDLE}};
  for (const auto& b : buttons) {
    const std::string button = std::string(",\"button\":\"") + b.name + "\"}";
    const std::string code = std::to_string(b.code);
    EXPECT_EQ(withoutTimes(run(everyMotion({"{\"cmd\":\"down\",\"x\":10,\"y\":20" + button,
                                            "{\"cmd\":\"move\",\"x\":30,\"y\":40}",
                                            "{\"cmd\":\"up\",\"x\":50,\"y\":60" + button}),
                               {"motion", "button"})),
              (std::vector<std::string>{"motion 10 20", "button " + code + " 1", "motion 30 40",
                                        "motion 50 60", "button " + code + " 0"}))
        << b.name;
  }
}

TEST_F(Kde, DoubleClickAndResetRelease) {
  EXPECT_EQ(
      withoutTimes(run("{\"cmd\":\"dblclick\",\"x\":300,\"y\":200}\n"
                       "{\"cmd\":\"down\",\"x\":5,\"y\":5,\"button\":\"right\"}\n"
                       "{\"cmd\":\"down\",\"x\":5,\"y\":5}\nRESET\n",
                       {"button"})),
      (std::vector<std::string>{"button 272 1", "button 272 0", "button 272 1", "button 272 0",
                                "button 273 1", "button 272 1", "button 272 0", "button 273 0"}));
}

// The pixels as wl_fixed_t, to within its 1/256 of a pixel.
// Each scroll at once as its share of notches, 12.25 a notch of 100 pixels, positive down and
// right, vertical first.
TEST_F(Kde, ScrollingSendsNotchSharesDownAndRight) {
  EXPECT_TRUE(sameLines(
      run("M 600 400\nW 0 120\nW 0 -35\nW 30 0\n{\"cmd\":\"wheel\",\"dx\":-15,\"dy\":2.5}\n",
          {"axis"}),
      {"axis 0 14.7", "axis 0 -4.2875", "axis 1 3.675", "axis 0 0.3675", "axis 1 -1.8375"},
      withinFixedSteps(1)));
}

TEST_F(Kde, EveryKeyNameArrivesAsItsLinuxKey) {
  const EveryKeyName keys = everyKeyName();
  std::vector<std::string> lines = run(keys.input, {"key"});
  for (std::string& line : lines) line = withoutText(line);
  EXPECT_EQ(lines, keys.expected);
}

// Chords and shortcuts: the keys and modifier states in order, each modifier pressed once.
TEST_F(Kde, ChordsAndShortcutsArriveWithExactlyTheirModifiers) {
  std::vector<ChordCase> cases = sharedChordCases();
  cases.push_back(
      {R"({"cmd":"shortcut","shortcut":"paste"})",
       {"key 29 1 -", "mods Control", "key 47 1 U+16", "key 47 0 -", "key 29 0 -", "mods -"}});
  for (const ChordCase& c : cases) {
    EXPECT_EQ(run(std::string(c.input) + "\n", {"key", "mods"}), c.expected) << c.input;
  }
}

// Text goes through the keys of KWin's layout (US here), with Shift where the character needs
// it; characters the layout lacks are dropped.
TEST_F(Kde, TextWithinTheLayoutIsTypedAndOtherCharactersAreDropped) {
  expectUsLayoutTextTypedAndOthersDropped(
      [this](const std::string& input) { return run(input, {"key"}); });
}

TEST_F(Kde, TwoClicksInOneBurstPressAtTwoTimes) {
  expectBurstPressesAtTwoTimes(session->receiver(), agentOptions());
}

TEST_F(Kde, AFloodOfMotionIsCoalescedWithoutLosingTheLastPositionOrAnyButton) {
  expectFloodCoalescedToTheLastPosition([this](const std::string& input) {
    return run(input, {"motion", "button"});
  });
}

TEST_F(Kde, HeldKeysAndButtonsAreReleasedHoweverTheAgentEnds) {
  expectHeldInputsReleasedOnEveryEnd(session->receiver(), agentOptions());
}

// Unforced, the agent takes KWin's fake input (KWin offers no wlroots protocol, and there is no
// X display); forced to another route, or with KDE forced where there is no Wayland display, it
// posts nowhere.
TEST_F(Kde, TheRouteIsChosenFromTheEnvironment) {
  EXPECT_EQ(run("M 11 12\n", {"motion"}), (std::vector<std::string>{"motion 11 12"}));
  const Probe probe = probeWith(agentOptions());
  EXPECT_EQ(probe.found["route"], "kde");
  EXPECT_EQ(probeReason(probe, "wlroots"),
            "the compositor offers no wlroots virtual pointer and virtual keyboard");

  ProcessOptions forced = agentOptions();
  forced.setEnv.emplace_back("INPUT_AGENT_BACKEND", "kde");
  EXPECT_EQ(run("M 13 14\n", {"motion"}, &forced), (std::vector<std::string>{"motion 13 14"}));

  for (const char* other : {"wlroots", "gnome", "x11", ""}) {
    ProcessOptions options = agentOptions();
    options.setEnv.emplace_back("INPUT_AGENT_BACKEND", other);
    const std::size_t from = session->receiver().out().size();
    const ProcessResult result = runProcess({AGENT}, "M 15 16\nW 77 0\n", options);
    EXPECT_EQ(result.out, "READY\n") << other;
    EXPECT_FALSE(waitForLine(from, isMarker, 300)) << other;
  }
}

}  // namespace
