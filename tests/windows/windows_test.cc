// End-to-end tests of the Windows route: input-agent.exe started with pipes, as a controller
// starts it, drives the tests' own receiving window (receiver.h), and what the window's messages
// say is compared whole. Run through Wine on Linux; where Wine differs from Windows, the test
// says so.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "keys/key_table.h"
#include "support/run_process.h"
#include "windows/console_control.h"
#include "windows/receiver.h"

namespace {

using Lines = std::vector<std::string>;

// Only the receiver's lines that start with one of the prefixes. Windows (and Wine) may send a
// window a WM_MOUSEMOVE again at the position of the last one (when windows change under the
// pointer): such a repeat says nothing of the agent and is left out.
Lines only(const Lines& lines, std::initializer_list<std::string_view> prefixes) {
  Lines kept;
  std::string lastMove;
  for (const auto& line : lines) {
    if (line.starts_with("move ")) {
      if (line == lastMove) continue;
      lastMove = line;
    }
    for (const auto prefix : prefixes) {
      if (line.starts_with(prefix)) {
        kept.push_back(line);
        break;
      }
    }
  }
  return kept;
}

bool contains(const Lines& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

std::string hex(unsigned value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%0*X", digits, value);
  return text;
}

// The virtual key a window's key message carries for a key: the left and right Shift, Control
// and Alt keys arrive as the generic VK_SHIFT, VK_CONTROL and VK_MENU.
unsigned messageVirtualKey(const PhysicalKey& key) {
  switch (key.windowsVirtualKey) {
    case VK_LSHIFT:
    case VK_RSHIFT:
      return VK_SHIFT;
    case VK_LCONTROL:
    case VK_RCONTROL:
      return VK_CONTROL;
    case VK_LMENU:
    case VK_RMENU:
      return VK_MENU;
    default:
      return key.windowsVirtualKey;
  }
}

std::string keyLine(const char* what, const PhysicalKey& key) {
  return std::string(what) + " " + hex(messageVirtualKey(key), 2) + " " +
         hex(key.windowsScanCode, 4);
}

class WindowsAgent : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(receiver.focused()) << "the receiving window is not in the foreground";
    // A new window under the pointer gets a WM_MOUSEMOVE of its own.
    receiver.settle(std::chrono::milliseconds(100));
    receiver.clear();
    start();
  }
  void start(const ProcessOptions& options = {}) {
    agent = std::make_unique<RunningProcess>(std::vector<std::string>{AGENT}, options);
    ASSERT_TRUE(agent->waitForOut("READY\n"));
  }
  void send(const std::string& lines) { ASSERT_TRUE(agent->write(lines)); }
  // Sends each point as an M line once the one before has arrived, and checks that it lands on
  // exactly that pixel. Under Wine the X server's motion event for Wine's own warp of the X
  // pointer to an earlier position can come after the next move and put the pointer back there
  // (seen as a repeated WM_MOUSEMOVE at the previous pixel, about once in a thousand moves);
  // Windows has no second pointer to race with; a busy machine makes it more common. Such a move
  // is sent again from the pixel beside it (up to twice), and must then land on its pixel: a pixel
  // the normalisation misses is missed from anywhere.
  void expectEachMoveLands(const std::vector<std::pair<int, int>>& points) {
    int missed = 0;
    for (const auto& [x, y] : points) {
      const std::string want = "move " + std::to_string(x) + " " + std::to_string(y);
      const auto landed = [&](const Lines& l) { return !l.empty() && l.back() == want; };
      Lines got;
      for (int attempt = 0; attempt < 3 && !landed(got); ++attempt) {
        if (attempt > 0) {
          // Again from the pixel above (below on the top row), so that it is a move once more.
          const int besideY = y > 0 ? y - 1 : y + 1;
          const std::string aside = "move " + std::to_string(x) + " " + std::to_string(besideY);
          send("M " + std::to_string(x) + " " + std::to_string(besideY) + "\n");
          receiver.waitFor([&](const Lines& l) { return !l.empty() && l.back() == aside; },
                           std::chrono::milliseconds(500));
        }
        send("M " + std::to_string(x) + " " + std::to_string(y) + "\n");
        got = receiver.waitFor(landed, std::chrono::milliseconds(attempt == 0 ? 500 : 2000));
      }
      if (!landed(got)) {
        std::string last;
        for (std::size_t i = got.size() > 4 ? got.size() - 4 : 0; i < got.size(); ++i) {
          last += " [" + got[i] + "]";
        }
        ADD_FAILURE() << "asked for " << x << "," << y << ", the last moves:" << last;
        if (++missed > 5) break;
      }
    }
  }
  // Ends the agent by closing its input; its output must be READY alone.
  void finish() {
    const ProcessResult result = agent->finish();
    EXPECT_EQ(result.out, "READY\n");
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.exitStatus, 0);
  }

  Receiver receiver;
  std::unique_ptr<RunningProcess> agent;
};

using Points = std::vector<std::pair<int, int>>;

// Every pixel of a row and of a column: each move lands on exactly the pixel asked for.
TEST_F(WindowsAgent, MotionLandsOnEveryPixelOfARowAndAColumn) {
  const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
  const int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
  const int left = GetSystemMetrics(SM_XVIRTUALSCREEN), top = GetSystemMetrics(SM_YVIRTUALSCREEN);
  Points points;
  for (int x = 0; x < width; ++x) points.emplace_back(left + x, top + 7);
  for (int y = 0; y < height; ++y) points.emplace_back(left + 5, top + y);
  expectEachMoveLands(points);
  finish();
}

BOOL CALLBACK noteMonitor(HMONITOR, HDC, LPRECT rect, LPARAM rects) {
  reinterpret_cast<std::vector<RECT>*>(rects)->push_back(*rect);
  return TRUE;
}

// With two monitors or more (scripts/windows runs this test again on two, the primary on the right
// and the other left of it, at negative x): every pixel of a row through each monitor, across the
// whole desktop, and of a column through each, lands exactly. Points on no monitor (below the
// smaller one) are left out: Windows keeps the pointer on a monitor.
TEST_F(WindowsAgent, MotionLandsOnEveryPixelOfEveryMonitor) {
  std::vector<RECT> monitors;
  EnumDisplayMonitors(nullptr, nullptr, noteMonitor, reinterpret_cast<LPARAM>(&monitors));
  // The two-monitor pass says how many it set up, so that a layout Wine did not take fails.
  char asked[8] = "";
  GetEnvironmentVariableA("INPUT_AGENT_TEST_MONITORS", asked, sizeof asked);
  ASSERT_GE(monitors.size(), static_cast<std::size_t>(std::atoi(asked)));
  if (monitors.size() < 2) {
    finish();
    GTEST_SKIP() << "one monitor here";
  }
  EXPECT_TRUE(std::any_of(monitors.begin(), monitors.end(), [](const RECT& r) {
    return r.left < 0 || r.top < 0;
  })) << "no monitor is left of or above the primary";
  const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
  const int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
  const int left = GetSystemMetrics(SM_XVIRTUALSCREEN), top = GetSystemMetrics(SM_YVIRTUALSCREEN);
  const auto onAMonitor = [](int x, int y) {
    return MonitorFromPoint(POINT{x, y}, MONITOR_DEFAULTTONULL) != nullptr;
  };
  Points points;
  std::vector<int> rows;
  for (const RECT& monitor : monitors) {
    if (std::find(rows.begin(), rows.end(), monitor.top + 7) != rows.end()) continue;
    rows.push_back(monitor.top + 7);
    for (int x = left; x < left + width; ++x) {
      if (onAMonitor(x, monitor.top + 7)) points.emplace_back(x, monitor.top + 7);
    }
  }
  for (const RECT& monitor : monitors) {
    for (int y = top; y < top + height; ++y) {
      if (onAMonitor(monitor.left + 5, y)) points.emplace_back(monitor.left + 5, y);
    }
  }
  const auto leftOfPrimary =
      std::count_if(points.begin(), points.end(), [](const auto& p) { return p.first < 0; });
  EXPECT_GT(leftOfPrimary, 0);
  expectEachMoveLands(points);
  finish();
}

// Each line is sent once the one before has arrived: under Wine a burst of moves can meet the X
// server's late motion event for an earlier warp (see above), which Windows does not have.
TEST_F(WindowsAgent, ButtonsDragAndPointsOffTheDesktop) {
  const int left = GetSystemMetrics(SM_XVIRTUALSCREEN), top = GetSystemMetrics(SM_YVIRTUALSCREEN);
  const struct {
    std::string line;
    Lines arrives;
  } steps[] = {
      {"M 100 100", {"move 100 100"}},
      {"{\"cmd\":\"down\",\"x\":100,\"y\":100}", {"down left 100 100"}},
      {"{\"cmd\":\"move\",\"x\":200,\"y\":150}", {"move 200 150"}},
      {"{\"cmd\":\"up\",\"x\":200,\"y\":150}", {"up left 200 150"}},
      {"{\"cmd\":\"down\",\"x\":300,\"y\":310,\"button\":\"right\"}",
       {"move 300 310", "down right 300 310"}},
      {"{\"cmd\":\"up\",\"x\":300,\"y\":310,\"button\":\"right\"}", {"up right 300 310"}},
      {"{\"cmd\":\"down\",\"x\":300,\"y\":310,\"button\":\"middle\"}", {"down middle 300 310"}},
      {"{\"cmd\":\"up\",\"x\":300,\"y\":310,\"button\":\"middle\"}", {"up middle 300 310"}},
      {"M -5000 -5000", {"move " + std::to_string(left) + " " + std::to_string(top)}},
  };
  for (const auto& step : steps) {
    receiver.clear();
    send(step.line + "\n");
    EXPECT_EQ(only(receiver.settle(std::chrono::milliseconds(150)), {"move", "down", "up"}),
              step.arrives)
        << step.line;
  }
  finish();
}

// The two presses of a dblclick are one double click to Windows; clicks further apart than the
// double-click time stay two clicks.
TEST_F(WindowsAgent, DoubleClickIsOneAndClicksApartStayTwo) {
  send("{\"cmd\":\"dblclick\",\"x\":400,\"y\":300}\n");
  EXPECT_EQ(
      only(receiver.settle(), {"down", "up", "dblclk"}),
      (Lines{"down left 400 300", "up left 400 300", "dblclk left 400 300", "up left 400 300"}));
  receiver.clear();
  send("{\"cmd\":\"down\",\"x\":400,\"y\":300}\n{\"cmd\":\"up\",\"x\":400,\"y\":300}\n");
  receiver.settle();
  Sleep(GetDoubleClickTime() + 100);
  send("{\"cmd\":\"down\",\"x\":400,\"y\":300}\n{\"cmd\":\"up\",\"x\":400,\"y\":300}\n");
  finish();
  EXPECT_EQ(
      only(receiver.settle(), {"down", "up", "dblclk"}),
      (Lines{"down left 400 300", "up left 400 300", "down left 400 300", "up left 400 300"}));
}

// WHEEL_DELTA (120) per 100 pixels, each scroll sent at once as its share, the remainder carried;
// positive dy scrolls down (a negative wheel delta), positive dx right.
TEST_F(WindowsAgent, WheelSignsMagnitudesAndCarry) {
  send(
      "M 50 50\nW 0 30\nW 0 -100\nW 30 0\nW -100 0\nW 0 1\nW 0 1\nW 0 1\nW 0 1\nW 0 1\n"
      "{\"cmd\":\"wheel\",\"dx\":-250,\"dy\":250}\n");
  finish();
  EXPECT_EQ(only(receiver.settle(), {"wheel", "hwheel"}),
            (Lines{"wheel -36", "wheel 120", "hwheel 36", "hwheel -120", "wheel -1", "wheel -1",
                   "wheel -1", "wheel -1", "wheel -2", "wheel -300", "hwheel -300"}));
}

// Every key of the table arrives with its virtual key and its scan code, pressed and released.
TEST_F(WindowsAgent, EveryKeyArrivesWithItsVirtualKeyAndScanCode) {
  std::string lines;
  Lines want;
  for (const PhysicalKey& key : kPhysicalKeys) {
    // CapsLock goes twice, so that it is left as it was.
    const int taps = key.name == "CapsLock" ? 2 : 1;
    for (int i = 0; i < taps; ++i) {
      lines += "{\"cmd\":\"key\",\"code\":\"" + std::string(key.name) + "\"}\n";
      want.push_back(keyLine("keydown", key));
      want.push_back(keyLine("keyup", key));
    }
  }
  send(lines);
  finish();
  EXPECT_EQ(only(receiver.settle(), {"keydown", "keyup"}), want);
}

TEST_F(WindowsAgent, ChordsOnOneLineAndAcrossLines) {
  const PhysicalKey& a = keyNamed("KeyA");
  const PhysicalKey& ctrl = keyNamed("ControlLeft");
  const PhysicalKey& shift = keyNamed("ShiftLeft");
  send(
      "{\"cmd\":\"key\",\"code\":\"KeyA\",\"ctrl\":true,\"shift\":true}\n"
      "{\"cmd\":\"key\",\"code\":\"KeyA\",\"ctrl\":true,\"action\":\"down\"}\n"
      "{\"cmd\":\"key\",\"code\":\"KeyA\",\"ctrl\":true,\"action\":\"up\"}\n");
  finish();
  EXPECT_EQ(only(receiver.settle(), {"keydown", "keyup"}),
            (Lines{keyLine("keydown", shift), keyLine("keydown", ctrl), keyLine("keydown", a),
                   keyLine("keyup", a), keyLine("keyup", ctrl), keyLine("keyup", shift),
                   keyLine("keydown", ctrl), keyLine("keydown", a), keyLine("keyup", a),
                   keyLine("keyup", ctrl)}));
}

// The named shortcuts as Windows users press them. lock_screen is LockWorkStation, not keys:
// Windows takes Win+L before synthetic input reaches it.
TEST_F(WindowsAgent, Shortcuts) {
  const auto down = [](std::string_view name) { return keyLine("keydown", *findKeyNamed(name)); };
  const auto up = [](std::string_view name) { return keyLine("keyup", *findKeyNamed(name)); };
  const struct {
    const char* shortcut;
    Lines keys;
  } cases[] = {
      {"copy", {down("ControlLeft"), down("KeyC"), up("KeyC"), up("ControlLeft")}},
      {"paste", {down("ControlLeft"), down("KeyV"), up("KeyV"), up("ControlLeft")}},
      {"alt_tab", {down("AltLeft"), down("Tab"), up("Tab"), up("AltLeft")}},
      {"cmd_tab", {down("AltLeft"), down("Tab"), up("Tab"), up("AltLeft")}},
      {"win_key", {down("MetaLeft"), up("MetaLeft")}},
      {"cmd_space", {down("MetaLeft"), up("MetaLeft")}},
      {"show_desktop", {down("MetaLeft"), down("KeyD"), up("KeyD"), up("MetaLeft")}},
      {"lock_screen", {down("MetaLeft"), up("MetaLeft")}},
  };
  for (const auto& c : cases) {
    receiver.clear();
    ASSERT_TRUE(receiver.focused()) << c.shortcut;
    send(std::string("{\"cmd\":\"shortcut\",\"shortcut\":\"") + c.shortcut + "\"}\n");
    EXPECT_EQ(only(receiver.settle(), {"keydown", "keyup"}), c.keys) << c.shortcut;
  }
  finish();
}

std::string utf8(char32_t scalar) {
  std::string out;
  if (scalar < 0x80) {
    out += static_cast<char>(scalar);
  } else if (scalar < 0x800) {
    out += static_cast<char>(0xC0 | (scalar >> 6));
    out += static_cast<char>(0x80 | (scalar & 0x3F));
  } else if (scalar < 0x10000) {
    out += static_cast<char>(0xE0 | (scalar >> 12));
    out += static_cast<char>(0x80 | ((scalar >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (scalar & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (scalar >> 18));
    out += static_cast<char>(0x80 | ((scalar >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((scalar >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (scalar & 0x3F));
  }
  return out;
}

// The WM_CHAR lines of text: one per UTF-16 unit, a surrogate pair for a scalar beyond the BMP.
Lines charLines(std::u32string_view text) {
  Lines lines;
  for (const char32_t scalar : text) {
    if (scalar >= 0x10000) {
      lines.push_back("char U+" + hex(0xD800 + ((scalar - 0x10000) >> 10), 4).substr(2));
      lines.push_back("char U+" + hex(0xDC00 + ((scalar - 0x10000) & 0x3FF), 4).substr(2));
    } else {
      lines.push_back("char U+" + hex(scalar, 4).substr(2));
    }
  }
  return lines;
}

TEST_F(WindowsAgent, TextArrivesAsCharactersWithSurrogatesAndWholeClusters) {
  const std::u32string clusters[] = {U"é", U"ß", U"€", U"😀", U"👍🏽", U"🇫🇷", U"東"};
  std::string lines;
  std::u32string all;
  for (const auto& cluster : clusters) {
    std::string text;
    for (const char32_t scalar : cluster) text += utf8(scalar);
    lines += "{\"cmd\":\"key\",\"key\":\"" + text + "\"}\n";
    all += cluster;
  }
  send(lines);
  finish();
  EXPECT_EQ(only(receiver.settle(), {"char"}), charLines(all));
}

// 200 characters, every one a different one, written at once: every one arrives, in order.
TEST_F(WindowsAgent, TwoHundredMixedCharactersAtFullSpeed) {
  std::u32string text;
  std::string lines;
  for (int i = 0; i < 200; ++i) {
    const char32_t scalar = i % 4 == 0   ? U'à' + static_cast<char32_t>(i / 4 % 30)
                            : i % 4 == 1 ? U'一' + static_cast<char32_t>(i)
                            : i % 4 == 2 ? U'😀' + static_cast<char32_t>(i % 60)
                                         : U'Ա' + static_cast<char32_t>(i % 38);
    text += scalar;
    lines += "{\"cmd\":\"key\",\"key\":\"" + utf8(scalar) + "\"}\n";
  }
  send(lines);
  finish();
  EXPECT_EQ(only(receiver.settle(), {"char"}), charLines(text));
}

// Whatever ends the agent, what it holds is released: a key held down and a button held.
TEST_F(WindowsAgent, EveryEndingReleasesWhatIsHeld) {
  const struct {
    const char* name;
    const char* last;  // written after the holds; then input is closed
    bool closeOutput;
  } endings[] = {
      {"end of input", "", false},
      {"QUIT", "QUIT\n", false},
      {"closed output, then end of input", "", true},
      {"partial last line", "{\"cmd\":\"key\",\"code\":\"KeyB\"", false},
  };
  const PhysicalKey& shift = keyNamed("ShiftLeft");
  for (const auto& ending : endings) {
    if (agent == nullptr) {
      agent = std::make_unique<RunningProcess>(std::vector<std::string>{AGENT});
      ASSERT_TRUE(agent->waitForOut("READY\n"));
    }
    receiver.clear();
    send(
        "{\"cmd\":\"key\",\"code\":\"ShiftLeft\",\"action\":\"down\"}\n"
        "{\"cmd\":\"down\",\"x\":20,\"y\":20}\n");
    receiver.waitFor([](const Lines& l) { return contains(l, "down left 20 20"); });
    if (ending.closeOutput) agent->closeOutput();
    send(ending.last);
    const ProcessResult result = agent->finish();
    agent.reset();
    EXPECT_EQ(result.exitStatus, 0) << ending.name;
    EXPECT_EQ(result.err, "") << ending.name;
    const Lines got = only(receiver.settle(), {"keyup", "up"});
    EXPECT_EQ(got, (Lines{keyLine("keyup", shift), "up left 20 20"})) << ending.name;
  }
}

// Ctrl+C, Ctrl+Break and the console closing end the agent as the end of its input does: the
// agent, in a console and process group of its own and blocked reading its still open input,
// releases a key and a button that it holds, exits with status 0 and writes nothing but READY.
class WindowsStopRequest : public WindowsAgent {
 protected:
  void SetUp() override {
    ASSERT_TRUE(receiver.focused()) << "the receiving window is not in the foreground";
    receiver.settle(std::chrono::milliseconds(100));
    receiver.clear();
    ProcessOptions options;
    options.ownConsole = true;
    start(options);
    send(
        "{\"cmd\":\"key\",\"code\":\"ShiftLeft\",\"action\":\"down\"}\n"
        "{\"cmd\":\"down\",\"x\":20,\"y\":20}\n");
    const Lines held =
        receiver.waitFor([](const Lines& l) { return contains(l, "down left 20 20"); });
    ASSERT_EQ(only(held, {"keydown", "down"}),
              (Lines{keyLine("keydown", keyNamed("ShiftLeft")), "down left 20 20"}));
    receiver.clear();
  }
  // Whether both releases arrive within the time.
  bool released(std::chrono::milliseconds limit = std::chrono::seconds(10)) {
    const Lines want{keyLine("keyup", keyNamed("ShiftLeft")), "up left 20 20"};
    return only(receiver.waitFor(
                    [&](const Lines& l) {
                      return only(l, {"keyup", "up"}) == want;
                    },
                    limit),
                {"keyup", "up"}) == want;
  }
  // The agent ends by itself, and nothing came but the two releases.
  void expectEndedAndReleased() {
    EXPECT_TRUE(released());
    const ProcessResult result = agent->waitForExit();
    agent.reset();
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.signal, 0);
    EXPECT_EQ(result.out, "READY\n");
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(only(receiver.settle(), {"move", "keydown", "keyup", "down", "up"}),
              (Lines{keyLine("keyup", keyNamed("ShiftLeft")), "up left 20 20"}));
  }
};

// Ctrl+C for the agent's group: CREATE_NEW_PROCESS_GROUP switches Ctrl+C off in the new group,
// and the agent takes it all the same.
TEST_F(WindowsStopRequest, CtrlCEndsTheAgentAndReleasesWhatIsHeld) {
  ASSERT_TRUE(sendConsoleControl(static_cast<DWORD>(agent->pid()), CTRL_C_EVENT))
      << "GenerateConsoleCtrlEvent: error " << GetLastError();
  expectEndedAndReleased();
}

TEST_F(WindowsStopRequest, CtrlBreakEndsTheAgentAndReleasesWhatIsHeld) {
  if (!sendConsoleControl(static_cast<DWORD>(agent->pid()), CTRL_BREAK_EVENT)) {
    const DWORD error = GetLastError();
    // Wine 8's server generates no Ctrl+Break event (it answers "not implemented", which
    // GenerateConsoleCtrlEvent reports as ERROR_INVALID_HANDLE); Windows does.
    if (underWine()) GTEST_SKIP() << "Wine cannot generate Ctrl+Break (error " << error << ")";
    FAIL() << "GenerateConsoleCtrlEvent: error " << error;
  }
  expectEndedAndReleased();
}

TEST_F(WindowsStopRequest, ConsoleClosingEndsTheAgentAndReleasesWhatIsHeld) {
  ASSERT_TRUE(closeConsoleOf(static_cast<DWORD>(agent->pid()))) << "the console has no window";
  // Wine 8's console host destroys its window at WM_CLOSE (the window is gone) without sending
  // CTRL_CLOSE_EVENT to the processes on the console: the agent goes on reading, and is ended
  // here by the end of its input.
  if (underWine() && !released(std::chrono::seconds(3))) {
    agent->finish();
    agent.reset();
    GTEST_SKIP() << "Wine closes a console without a CTRL_CLOSE_EVENT";
  }
  expectEndedAndReleased();
}

// Lines that are not commands move nothing; the agent goes on; standard input is binary (a
// Ctrl+Z byte is a byte, CR LF ends a line).
TEST_F(WindowsAgent, BadInputMovesNothingAndTheAgentGoesOn) {
  send(std::string("M 1 2 3\nW x 1\n{\"cmd\":\"move\",\"x\":\"1\",\"y\":2}\n\x1a\r\n") +
       std::string(2 << 20, 'x') + "\n{\"cmd\":\"move\",\"x\":1,\"y\":2,\"y\":\"q\"}\nnot json\n" +
       std::string("M 7\0 8\n", 7) + "M 33 44\r\n");
  finish();
  EXPECT_EQ(only(receiver.settle(), {"move", "down", "up", "wheel", "hwheel", "key", "char"}),
            (Lines{"move 33 44"}));
}

}  // namespace
