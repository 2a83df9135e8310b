// The GNOME route under headless mutter: pointer through the monitor's screen-cast stream,
// buttons, scrolling, keys by physical key, chords, the Linux shortcuts, text within the layout,
// release at exit and the choice of route, as the tests' own window receives them.
#include <linux/input-event-codes.h>
#include <signal.h>

#include <cmath>

#include "keys/key_table.h"
#include "support/fixed_values.h"
#include "support/mutter_session.h"
#include "support/receiver_fixture.h"
#include "support/route_cases.h"

namespace {

using Gnome = ReceiverTest<MutterSession>;

// The lines without repeats of the line before (mutter repeats the pointer's place with each
// button event).
std::vector<std::string> withoutRepeats(const std::vector<std::string>& lines) {
  std::vector<std::string> kept;
  for (const std::string& line : lines) {
    if (kept.empty() || kept.back() != line) kept.push_back(line);
  }
  return kept;
}

TEST_F(Gnome, MotionIsAbsoluteOnTheMonitorAndNeverOffIt) {
  EXPECT_EQ(
      withoutRepeats(
          run(everyMotion({"M 100 200", "{\"cmd\":\"move\",\"x\":1279,\"y\":799}", "M 0 0",
                           "M 640 400", "M nan 5", "M 5000 -20", "M -3 400", "M 3 4"}),
              {"motion"})),
      (std::vector<std::string>{"motion 100 200", "motion 1279 799", "motion 0 0", "motion 640 400",
                                "motion 1279 0", "motion 0 400", "motion 3 4"}));
}

using TwoMonitors = ReceiverTest<TwoMonitorMutterSession>;

// Each point goes to the stream of the monitor that holds it; a point on neither (below the
// smaller one, or off the desktop) to the nearest pixel of the nearest monitor.
TEST_F(TwoMonitors, MotionGoesToTheRightMonitorsStream) {
  EXPECT_EQ(withoutRepeats(run(everyMotion({"M 100 200", "M 1500 300", "M 2079 599", "M 1700 700",
                                            "M 1279 799", "M 3000 -50", "M 3 4"}),
                               {"motion"})),
            (std::vector<std::string>{"motion 100 200", "motion 1500 300", "motion 2079 599",
                                      "motion 1700 599", "motion 1279 799", "motion 2079 0",
                                      "motion 3 4"}));
}

TEST_F(Gnome, ButtonsPressDragAndRelease) {
  const struct {
    const char* name;
    int code;
  } buttons[] = {{"left", BTN_LEFT}, {"right", BTN_RIGHT}, {"middle", BTN_MIDDLE}};
  for (const auto& b : buttons) {
    const std::string button = std::string(",\"button\":\"") + b.name + "\"}";
    const std::string code = std::to_string(b.code);
    EXPECT_EQ(withoutRepeats(withoutTimes(run("{\"cmd\":\"down\",\"x\":10,\"y\":20" + button +
                                                  "\n{\"cmd\":\"move\",\"x\":30,\"y\":40}\n"
                                                  "{\"cmd\":\"up\",\"x\":50,\"y\":60" +
                                                  button + "\n",
                                              {"motion", "button"}))),
              (std::vector<std::string>{"motion 10 20", "button " + code + " 1", "motion 30 40",
                                        "motion 50 60", "button " + code + " 0"}))
        << b.name;
  }
}

TEST_F(Gnome, DoubleClickAndResetRelease) {
  EXPECT_EQ(
      withoutTimes(run("{\"cmd\":\"dblclick\",\"x\":300,\"y\":200}\n"
                       "{\"cmd\":\"down\",\"x\":5,\"y\":5,\"button\":\"right\"}\n"
                       "{\"cmd\":\"down\",\"x\":5,\"y\":5}\nRESET\n",
                       {"button"})),
      (std::vector<std::string>{"button 272 1", "button 272 0", "button 272 1", "button 272 0",
                                "button 273 1", "button 272 1", "button 272 0", "button 273 0"}));
}

// One continuous axis event per scroll, its share of notches at 12.25 a notch of 100 pixels,
// positive down and right, both axes of a scroll in one frame, horizontal first. mutter hands the
// values on to within ten steps of wl_fixed_t (1/256 each; see the marker in
// receiver_fixture.h).
TEST_F(Gnome, ScrollingSendsNotchSharesAsContinuousAxisValues) {
  EXPECT_TRUE(sameLines(
      run("M 600 400\nW 0 120\nW 0 -35\nW 30 0\n{\"cmd\":\"wheel\",\"dx\":-15,\"dy\":2.5}\n",
          {"axis", "source", "discrete"}),
      {"source 2", "axis 0 14.7", "source 2", "axis 0 -4.2875", "source 2", "axis 1 3.675",
       "source 2", "axis 1 -1.8375", "axis 0 0.3675", "source 2"},
      withinFixedSteps(10)));
}

// Every key but the Super keys, which mutter keeps for itself when one is tapped alone (the
// overlay key: GNOME's overview, which is what "win_key" asks for): the left one on mutter 43,
// either on mutter 48 (its overlay-key setting went from Super_L to Super).
TEST_F(Gnome, EveryKeyNameArrivesAsItsLinuxKey) {
  const EveryKeyName keys = everyKeyName({KEY_LEFTMETA, KEY_RIGHTMETA});
  std::vector<std::string> lines = run(keys.input, {"key"});
  for (std::string& line : lines) line = withoutText(line);
  EXPECT_EQ(lines, keys.expected);
}

// Chords and shortcuts: the keys and modifier states in order, each modifier pressed once.
TEST_F(Gnome, ChordsAndShortcutsArriveWithExactlyTheirModifiers) {
  std::vector<ChordCase> cases = sharedChordCases();
  // mutter keeps the press of the left Super key for itself (its overlay key): a window that
  // has the focus sees only the modifier state it gives, and the release.
  for (ChordCase& c : cases) std::erase(c.expected, std::string("key 125 1 -"));
  for (const ChordCase& c : cases) {
    EXPECT_EQ(run(std::string(c.input) + "\n", {"key", "mods"}), c.expected) << c.input;
  }
}

// Text goes as keysyms that mutter types with the keys of its layout (US here), Shift where
// needed; characters the layout lacks are dropped.
TEST_F(Gnome, TextWithinTheLayoutIsTypedAndOtherCharactersAreDropped) {
  expectUsLayoutTextTypedAndOthersDropped(
      [this](const std::string& input) { return run(input, {"key"}); });
}

TEST_F(Gnome, TwoClicksInOneBurstPressAtTwoTimes) {
  expectBurstPressesAtTwoTimes(session->receiver(), agentOptions());
}

TEST_F(Gnome, AFloodOfMotionIsCoalescedWithoutLosingTheLastPositionOrAnyButton) {
  expectFloodCoalescedToTheLastPosition([this](const std::string& input) {
    return run(input, {"motion", "button"});
  });
}

TEST_F(Gnome, HeldKeysAndButtonsAreReleasedHoweverTheAgentEnds) {
  expectHeldInputsReleasedOnEveryEnd(session->receiver(), agentOptions());
}

// Unforced, the agent takes mutter's remote desktop (mutter offers neither wlroots protocol nor
// KWin's fake input, and there is no X display); forced to another route it posts nowhere.
TEST_F(Gnome, TheRouteIsChosenFromTheEnvironment) {
  EXPECT_EQ(withoutRepeats(run("M 11 12\n", {"motion"})),
            (std::vector<std::string>{"motion 11 12"}));
  Probe probe = probeWith(agentOptions());
  EXPECT_EQ(probe.found["route"], "gnome");
  EXPECT_EQ(probe.found["tried"][2].value("can", ""),
            "absolute motion over 1 monitor(s): 1280x800 at 0,0; text: only the characters of "
            "mutter's layout, others are dropped");
  // Without PipeWire mutter's streams never start: the route is passed over, and says why.
  ProcessOptions noPipewire = agentOptions();
  noPipewire.setEnv.emplace_back("PIPEWIRE_REMOTE", "/nonexistent/pipewire-0");
  probe = probeWith(noPipewire);
  EXPECT_EQ(probe.status, 1);
  EXPECT_THAT(probeReason(probe, "gnome"), testing::StartsWith("PipeWire is not running"));

  ProcessOptions forced = agentOptions();
  forced.setEnv.emplace_back("INPUT_AGENT_BACKEND", "gnome");
  EXPECT_EQ(withoutRepeats(run("M 13 14\n", {"motion"}, &forced)),
            (std::vector<std::string>{"motion 13 14"}));

  for (const char* other : {"wlroots", "kde", "x11", ""}) {
    ProcessOptions options = agentOptions();
    options.setEnv.emplace_back("INPUT_AGENT_BACKEND", other);
    const std::size_t from = session->receiver().out().size();
    const ProcessResult result = runProcess({AGENT}, "M 15 16\nW 77 0\n", options);
    EXPECT_EQ(result.out, "READY\n") << other;
    EXPECT_FALSE(waitForLine(from, isMarker, 300)) << other;
  }
}

}  // namespace
