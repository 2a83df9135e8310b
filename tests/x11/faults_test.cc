// The real agent on an X server that goes away, and with standard descriptors left closed by
// its parent. It prints nothing but "READY", keeps reading, and exits 0 at "QUIT".
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>

#include "x11/x11_fixture.h"

namespace {

// Every kind of line the agent handles, each of which talks to the server when there is one.
const char* const kEveryKind[] = {
    "M 10 20",
    "W 3 -250",
    "{\"cmd\":\"move\",\"x\":30,\"y\":40}",
    "{\"cmd\":\"down\",\"button\":\"right\"}",
    "M 50 60",
    "{\"cmd\":\"up\",\"button\":\"right\"}",
    "{\"cmd\":\"dblclick\",\"x\":70,\"y\":80}",
    "{\"cmd\":\"wheel\",\"dx\":-120,\"dy\":360}",
    "{\"cmd\":\"key\",\"code\":\"KeyA\",\"shift\":true}",
    "{\"cmd\":\"key\",\"code\":\"ShiftLeft\",\"action\":\"press\"}",
    "{\"cmd\":\"key\",\"key\":\"\xc3\xa9\"}",
    "{\"cmd\":\"key\",\"key\":\"\xf0\x9f\x98\x80\"}",
    "{\"cmd\":\"shortcut\",\"shortcut\":\"copy\"}",
    "{\"cmd\":\"down\"}",
    "RESET",
};

std::string everyKind() {
  std::string lines;
  for (const char* line : kEveryKind) lines += std::string(line) + "\n";
  return lines;
}

class X11Faults : public X11Test {
 protected:
  ProcessOptions onDisplay() {
    ProcessOptions options;
    options.setEnv = {{"DISPLAY", xvfb.display()}};
    return options;
  }

  // Waits until the server's pointer is at (x, y).
  bool pointerReaches(int x, int y) {
    for (int i = 0; i < 500; ++i) {
      Window root, child;
      int rootX, rootY, winX, winY;
      unsigned int mask;
      XQueryPointer(display.get(), DefaultRootWindow(display.get()), &root, &child, &rootX, &rootY,
                    &winX, &winY, &mask);
      if (rootX == x && rootY == y) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  }

  // Ends the server; the test's own connection goes first, as Xlib would end the test otherwise.
  void killServer() {
    display.reset();
    xvfb.kill();
  }

  static void expectQuietQuit(const ProcessResult& result) {
    EXPECT_EQ(result.signal, 0);
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.out, "READY\n");
    EXPECT_EQ(result.err, "");
  }
};

// The server goes while the agent waits for input; every later line still reads and does
// nothing, and only "QUIT" ends the agent, its standard input still open.
TEST_F(X11Faults, ServerGoneBetweenLines) {
  RunningProcess agent({AGENT}, onDisplay());
  ASSERT_TRUE(agent.waitForOut("READY\n"));
  ASSERT_TRUE(agent.write(everyKind() + "M 100 200\n"));
  ASSERT_TRUE(pointerReaches(100, 200));
  killServer();
  ASSERT_TRUE(agent.write(everyKind()));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  ASSERT_TRUE(agent.write(everyKind() + "QUIT\n"));
  expectQuietQuit(agent.waitForExit());
}

// The server goes after text entry has bound keycodes, and "QUIT" is the next line: the agent
// learns of the loss only while it puts the keymap back at exit.
TEST_F(X11Faults, ServerGoneJustBeforeQuit) {
  RunningProcess agent({AGENT}, onDisplay());
  ASSERT_TRUE(agent.waitForOut("READY\n"));
  ASSERT_TRUE(agent.write(everyKind() + "M 100 200\n"));
  ASSERT_TRUE(pointerReaches(100, 200));
  killServer();
  ASSERT_TRUE(agent.write("QUIT\n"));
  expectQuietQuit(agent.waitForExit());
}

// The server goes while lines stream in, at whatever point of their handling the agent is.
TEST_F(X11Faults, ServerGoneWhileLinesStreamIn) {
  RunningProcess agent({AGENT}, onDisplay());
  ASSERT_TRUE(agent.waitForOut("READY\n"));
  std::thread feeder([&] {
    for (int i = 0; i < 1000; ++i) {
      // A new character each time, so that text entry keeps rebinding keycodes.
      const char32_t c = U'\u4e00' + static_cast<char32_t>(i);
      const char utf8[] = {static_cast<char>(0xE0 | (c >> 12)),
                           static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
                           static_cast<char>(0x80 | (c & 0x3F)), 0};
      agent.write(everyKind() + "{\"cmd\":\"key\",\"key\":\"" + utf8 + "\"}\n");
    }
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  killServer();
  feeder.join();
  ASSERT_TRUE(agent.write("QUIT\n"));
  expectQuietQuit(agent.waitForExit(30000));
}

// A parent that starts the agent with descriptor 1 closed: the connection to the server must
// not take its place, or "READY" would be written into the X protocol stream.
TEST_F(X11Faults, StandardOutputNotOpen) {
  ProcessOptions options = onDisplay();
  options.noStdout = true;
  RunningProcess agent({AGENT}, options);
  ASSERT_TRUE(agent.write("M 300 400\nQUIT\n"));
  const ProcessResult result = agent.waitForExit();
  EXPECT_EQ(result.signal, 0);
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.err, "");
  EXPECT_TRUE(pointerReaches(300, 400));
}

// The same for descriptor 0: the agent must not read the X connection as its commands.
TEST_F(X11Faults, StandardInputNotOpen) {
  ProcessOptions options = onDisplay();
  options.noStdin = true;
  RunningProcess agent({AGENT}, options);
  expectQuietQuit(agent.waitForExit());
}

// An authority file with one cookie: a server started with it refuses every client that
// does not present that cookie.
std::string writeAuthorityFile() {
  const std::string path =
      (std::filesystem::temp_directory_path() / ("faults_test_auth_" + std::to_string(getpid())))
          .string();
  std::ofstream file(path, std::ios::binary);
  const auto field = [&file](const std::string& bytes) {
    file.put(static_cast<char>(bytes.size() >> 8)).put(static_cast<char>(bytes.size() & 0xff));
    file << bytes;
  };
  file.put(1).put(0);  // FamilyLocal (256), big-endian
  field("localhost");
  field("0");
  field("MIT-MAGIC-COOKIE-1");
  field("0123456789abcdef");
  return path;
}

// Servers the agent can reach but not use: one that refuses the connection, one without the
// XTest extension. The agent says READY, prints nothing else, and handles every line.
TEST(X11UnusableDisplay, ReadyAndSilent) {
  const std::string authority = writeAuthorityFile();
  const struct {
    const char* name;
    std::vector<std::string> serverArgs;
  } cases[] = {
      {"connection refused", {"-auth", authority}},
      {"no XTest", {"-extension", "XTEST"}},
  };
  for (const auto& c : cases) {
    Xvfb server(640, 480, c.serverArgs);
    if (!server.available()) GTEST_SKIP() << "Xvfb cannot be started here";
    ProcessOptions options;
    options.setEnv = {{"DISPLAY", server.display()}, {"XAUTHORITY", "/nonexistent"}};
    RunningProcess agent({AGENT}, options);
    ASSERT_TRUE(agent.write(everyKind() + "QUIT\n"));
    const ProcessResult result = agent.waitForExit();
    EXPECT_EQ(result.signal, 0) << c.name;
    EXPECT_EQ(result.exitStatus, 0) << c.name;
    EXPECT_EQ(result.out, "READY\n") << c.name;
    EXPECT_EQ(result.err, "") << c.name;
  }
  std::remove(authority.c_str());
}

}  // namespace
