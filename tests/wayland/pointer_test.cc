// The wlroots route under headless sway: pointer motion over one and two outputs, buttons,
// drags, double clicks, RESET and scrolling, as the tests' own window receives them.
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "support/route_cases.h"
#include "wayland/wayland_fixture.h"

namespace {

// Whether the process is stopped (state T in /proc/PID/stat).
bool stopped(const std::string& proc) {
  std::ifstream stat(proc + "/stat");
  const std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  const std::size_t close = text.rfind(')');
  return close != std::string::npos && close + 2 < text.size() && text[close + 2] == 'T';
}

using Pointer = WaylandTest;

TEST_F(Pointer, MotionGoesToTheNearestPixelOnTheOutput) {
  const std::vector<std::string> motions = run(everyMotion({
                                                   "M 100 200",
                                                   "M 0 0",
                                                   "M 1279 799",
                                                   "M 640.4 360.6",
                                                   "M 5000 -40",  // off the output: nearest pixel
                                                   "M -3 900",
                                                   "M nan 7",  // not finite: no motion
                                                   "M 1 inf",
                                                   R"({"cmd":"move","x":17,"y":19})",
                                               }),
                                               {"motion"});
  const std::vector<std::string> expected = {"motion 100 200", "motion 0 0",    "motion 1279 799",
                                             "motion 640 361", "motion 1279 0", "motion 0 799",
                                             "motion 17 19"};
  // The first line may be the pointer entering the window where it was.
  ASSERT_GE(motions.size(), expected.size());
  EXPECT_EQ(std::vector<std::string>(motions.end() - expected.size(), motions.end()), expected);
}

class TwoOutputs : public WaylandTest {
 protected:
  // The second output lies left of and above the first, at a negative origin.
  std::vector<SessionOutput> outputs() const override {
    return {{1280, 800, 0, 0}, {1024, 768, -1024, -100}};
  }
};

TEST_F(TwoOutputs, MotionCrossesOutputsAndNeverLandsInAGap) {
  const std::vector<std::string> motions = run(everyMotion({
                                                   "M 1279 799",
                                                   "M -1 0",        // the left output's right edge
                                                   "M -1024 -100",  // its top left corner
                                                   "M -500 700",  // below it, beside the right one:
                                                                  // the nearest pixel is above
                                                   "M 0 -50",  // above the right output: the left
                                                               // one is nearer
                                                   "M -2000 -2000",  // far off: the left corner
                                                   "M 640 400",
                                               }),
                                               {"motion"});
  const std::vector<std::string> expected = {
      "motion 1279 799", "motion -1 0",       "motion -1024 -100", "motion -500 667",
      "motion -1 -50",   "motion -1024 -100", "motion 640 400"};
  ASSERT_GE(motions.size(), expected.size()) << testing::PrintToString(motions);
  EXPECT_EQ(std::vector<std::string>(motions.end() - expected.size(), motions.end()), expected);
}

TEST_F(Pointer, EachButtonPressesDragsAndReleases) {
  const struct {
    const char* name;
    const char* code;
  } buttons[] = {{"left", "272"}, {"right", "273"}, {"middle", "274"}};
  int offset = 0;
  for (const auto& b : buttons) {
    const std::string name = b.name;
    const int x = 10 + offset++;
    const std::string at = "\"x\":" + std::to_string(x) + ",\"y\":";
    const std::vector<std::string> lines = withoutTimes(
        run(everyMotion({"{\"cmd\":\"down\"," + at + "20,\"button\":\"" + name + "\"}",
                         "{\"cmd\":\"move\"," + at + "40}", "M " + std::to_string(x) + " 60",
                         "{\"cmd\":\"up\"," + at + "80,\"button\":\"" + name + "\"}"}),
            {"motion", "button"}));
    const std::string code = b.code;
    const std::string column = std::to_string(x);
    const std::vector<std::string> expected = {
        "motion " + column + " 20", "button " + code + " 1",    "motion " + column + " 40",
        "motion " + column + " 60", "motion " + column + " 80", "button " + code + " 0"};
    ASSERT_GE(lines.size(), expected.size()) << name;
    EXPECT_EQ(std::vector<std::string>(lines.end() - expected.size(), lines.end()), expected)
        << name;
  }
}

TEST_F(Pointer, DoubleClickPressesTwiceWithLaterTimes) {
  const std::vector<std::string> lines =
      run("{\"cmd\":\"dblclick\",\"x\":300,\"y\":200}\n", {"button"});
  ASSERT_EQ(withoutTimes(lines), (std::vector<std::string>{"button 272 1", "button 272 0",
                                                           "button 272 1", "button 272 0"}));
  // Receivers count a press at the same time as the one before as a new first click.
  long last = -1;
  for (const std::string& line : lines) {
    const long time = std::atol(line.c_str() + line.find("t=") + 2);
    EXPECT_GT(time, last) << line;
    last = time;
  }
}

TEST_F(Pointer, ResetReleasesEveryHeldButton) {
  const std::vector<std::string> lines =
      withoutTimes(run("{\"cmd\":\"down\",\"x\":5,\"y\":5,\"button\":\"right\"}\n"
                       "{\"cmd\":\"down\",\"x\":5,\"y\":5}\n"
                       "RESET\n",
                       {"button"}));
  EXPECT_EQ(lines, (std::vector<std::string>{"button 273 1", "button 272 1", "button 272 0",
                                             "button 273 0"}));
}

TEST_F(Pointer, AJumpBeforeAPressEndsWithAOnePixelStepOntoTheTarget) {
  // What makes Xwayland take a click that follows a jump onto an X window.
  const std::vector<std::string> lines = withoutTimes(
      run("M 10 10\n{\"cmd\":\"down\",\"x\":500,\"y\":300}\n{\"cmd\":\"up\",\"x\":500,\"y\":300}\n"
          "M 500 100\n{\"cmd\":\"down\",\"x\":500,\"y\":90}\n{\"cmd\":\"up\",\"x\":500,\"y\":90}\n",
          {"motion", "button"}));
  const std::vector<std::string> expected = {"motion 10 10",   "motion 500 300", "motion 499 300",
                                             "motion 500 300", "button 272 1",   "button 272 0",
                                             "motion 500 100", "motion 500 90",  "motion 500 91",
                                             "motion 500 90",  "button 272 1",   "button 272 0"};
  ASSERT_GE(lines.size(), expected.size());
  EXPECT_EQ(std::vector<std::string>(lines.end() - expected.size(), lines.end()), expected);
}

TEST_F(Pointer, TwoClicksInOneBurstPressAtTwoTimes) {
  expectBurstPressesAtTwoTimes(session->receiver(), agentOptions());
}

TEST_F(Pointer, AFloodOfMotionIsCoalescedWithoutLosingTheLastPositionOrAnyButton) {
  expectFloodCoalescedToTheLastPosition([this](const std::string& input) {
    return run(input, {"motion", "button"});
  });
}

// A motion held back because more input was waiting arrives although that input is only the
// start of a long line and the agent then waits for its end. "M 1000 700" comes right after a
// motion that was sent, so it is held; the line after it is far longer than one read, and all
// of it is in the pipe (enlarged, filled while the agent is stopped) when the agent reads.
TEST_F(Pointer, AHeldMotionArrivesWhileTheAgentWaitsForTheRestOfALine) {
  RunningProcess agent({AGENT}, agentOptions());
  ASSERT_TRUE(agent.waitForOut("READY\n"));
  const std::size_t from = session->receiver().out().size();
  ASSERT_EQ(kill(agent.pid(), SIGSTOP), 0);
  const std::string proc = "/proc/" + std::to_string(agent.pid());
  for (int i = 0; i < 500 && !stopped(proc); ++i) usleep(1000);
  const int input = open((proc + "/fd/0").c_str(), O_WRONLY);
  ASSERT_GE(input, 0);
  ASSERT_GE(fcntl(input, F_SETPIPE_SZ, 1 << 20), 1 << 20);
  close(input);
  ASSERT_TRUE(agent.write("M 100 100\nM 1000 700\nM 5" + std::string(300000, ' ')));
  ASSERT_EQ(kill(agent.pid(), SIGCONT), 0);
  EXPECT_TRUE(waitForLine(from, [](const std::string& line) { return line == "motion 1000 700"; }))
      << "the last position stayed held";
  ASSERT_TRUE(agent.write("\nQUIT\n"));
  EXPECT_EQ(agent.waitForExit().exitStatus, 0);
}

TEST_F(Pointer, ScrollingSendsPixelsAndWholeNotches) {
  // 100 pixels make a notch, an axis value of 15 with one discrete step as a real wheel's; what
  // is left over counts towards the next scroll the same way.
  const std::vector<std::string> lines =
      run("M 600 400\n"
          "W 0 120\n"   // 120 down: one notch, 20 left over
          "W 0 30\n"    // 50: no notch
          "W 0 50\n"    // 100: a notch
          "W 0 -40\n"   // up: the remainder of the other way is dropped
          "W 40 0\n"    // right
          "W -250 0\n"  // left, two notches
          "{\"cmd\":\"wheel\",\"dy\":-100,\"dx\":100}\n",
          {"axis", "discrete", "source"});
  const std::vector<std::string> expected = {
      "source 0",      "discrete 0 1", "axis 0 15",     "source 0",   "discrete 0 1",
      "axis 0 15",     "source 0",     "discrete 1 -2", "axis 1 -30", "source 0",
      "discrete 0 -1", "axis 0 -15",   "discrete 1 1",  "axis 1 15"};
  EXPECT_EQ(lines, expected);
}

}  // namespace
