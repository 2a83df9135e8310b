// KWin's trust: with its permission check on, fake input goes only to an executable that an
// installed .desktop file trusts. The agent installed with cmake --install (and the .desktop
// file that comes with it) gets it; the same agent run from the build folder does not.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "support/kwin_session.h"
#include "support/route_cases.h"
#include "support/run_process.h"

namespace {

TEST(KdeTrust, TheInstalledAgentIsTrustedAndAnUninstalledOneIsNot) {
  if (!KWinSession::installed()) GTEST_SKIP() << "kwin_wayland is not installed";
  char pattern[] = "/tmp/input-agent-prefix.XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const std::string prefix = pattern;
  const ProcessResult install =
      runProcess({CMAKE_COMMAND, "--install", BUILD_DIR, "--prefix", prefix}, "");
  ASSERT_EQ(install.exitStatus, 0) << install.out << install.err;
  const std::string installed = prefix + "/bin/input-agent";
  {
    KWinSession session(prefix + "/share", installed);
    ASSERT_EQ(session.failure(), "");
    ProcessOptions options;
    options.setEnv = session.environment();
    options.unsetEnv = {"DISPLAY", "INPUT_AGENT_BACKEND"};

    std::size_t from = session.receiver().out().size();
    runProcess({AGENT}, "M 21 22\n", options);
    EXPECT_FALSE(session.receiver().waitForOut("motion 21 22\n", 500, from));
    // --probe says why, naming the executable that KWin did not find trusted.
    Probe probe = probeWith(options);
    EXPECT_EQ(probe.status, 1);
    EXPECT_THAT(probeReason(probe, "kde"), testing::StartsWith("KWin refused fake input ("));
    EXPECT_THAT(probeReason(probe, "kde"),
                testing::HasSubstr(std::filesystem::canonical(AGENT).string()));

    from = session.receiver().out().size();
    runProcess({installed}, "M 23 24\n", options);
    EXPECT_TRUE(session.receiver().waitForOut("motion 23 24\n", 5000, from))
        << session.receiver().out().substr(from);
    const ProcessResult trusted = runProcess({installed, "--probe", "--json"}, "", options);
    EXPECT_EQ(trusted.exitStatus, 0) << trusted.out;
    EXPECT_THAT(trusted.out, testing::StartsWith("{\"route\":\"kde\""));
  }
  std::error_code ignored;
  std::filesystem::remove_all(prefix, ignored);
}

}  // namespace
