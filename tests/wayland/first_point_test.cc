// The wlroots route's first motion after a start: a controller writes a burst of motion lines
// the moment the agent prints READY, and the first of them puts the pointer exactly on its pixel,
// on the output layout as the compositor has it. Each case starts a fresh headless sway (the
// agent's virtual pointer is then the first the compositor sees) and then the agent in it; the
// burst's last point lands exactly as well.
#include <string>
#include <vector>

#include "wayland/wayland_fixture.h"

namespace {

using FirstPoint = WaylandTest;

TEST_F(FirstPoint, TheFirstMotionOfEachStartLandsOnItsPixel) {
  const std::vector<SessionOutput> one = {{1280, 800, 0, 0}};
  // The second output lies left of and above the first, at a negative origin.
  const std::vector<SessionOutput> two = {{1280, 800, 0, 0}, {1024, 768, -1024, -100}};
  const struct {
    const std::vector<SessionOutput>& outputs;
    const char* first;     // the burst's first line
    const char* expected;  // where the receiver sees it: exact pixels
  } cases[] = {
      {one, "M 100 200", "motion 100 200"},       {one, "M 0 0", "motion 0 0"},
      {one, "M 1279 799", "motion 1279 799"},     {one, "M 640.4 360.6", "motion 640 361"},
      {two, "M -1024 -100", "motion -1024 -100"}, {two, "M -1 0", "motion -1 0"},
      {two, "M 1279 799", "motion 1279 799"},     {two, "M 300 50", "motion 300 50"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.first + std::string(" over ") + std::to_string(c.outputs.size()) + " output(s)");
    session.reset();
    session = std::make_unique<SwaySession>(c.outputs);
    ASSERT_EQ(session->failure(), "");
    RunningProcess agent({AGENT}, agentOptions());
    ASSERT_TRUE(agent.waitForOut("READY\n"));
    const std::size_t from = session->receiver().out().size();
    ASSERT_TRUE(agent.write(std::string(c.first) + "\nM 20 30\nM 41 47\nM 77 90\nM 123 111\n"
                                                   "{\"cmd\":\"key\",\"key\":\"¶\"}\n"));
    ASSERT_TRUE(waitForLine(from, isMarker)) << "the marker never arrived";
    EXPECT_EQ(agent.finish().exitStatus, 0);
    std::vector<std::string> motions;
    for (const std::string& line : linesSince(from)) {
      if (isMarker(line)) break;
      if (hasPrefix(line, {"motion"})) motions.push_back(line);
    }
    ASSERT_FALSE(motions.empty());
    EXPECT_EQ(motions.front(), c.expected) << testing::PrintToString(motions);
    EXPECT_EQ(motions.back(), "motion 123 111") << testing::PrintToString(motions);
  }
}

}  // namespace
