// input-agent against real applications on a private Xvfb: Chromium (read back over DevTools),
// a GTK 3 entry, and GTK 3 and Qt 5 windows that count clicks, with xclip for the clipboard.
// Text at full speed and at a human pace, its keydowns naming no key, double clicks, chord
// shape, the Linux shortcut chords, what the agent leaves behind when it ends, a successor to a
// killed agent, and two agents at once.
#include <gtest/gtest.h>
// clang-format off
#include <X11/Xlib.h>
// clang-format on
#include <signal.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "apps/chromium.h"
#include "apps/click_counter.h"
#include "support/key_identity.h"
#include "support/run_process.h"
#include "support/utf8_scalars.h"
#include "support/xvfb.h"

namespace {

using namespace std::chrono_literals;
using nlohmann::json;

struct DisplayCloser {
  void operator()(Display* d) const { XCloseDisplay(d); }
};

// The keysyms of every keycode of the server, to compare the keymap before and after.
std::vector<KeySym> keymapOf(Display* d) {
  int min = 0, max = 0, per = 0;
  XDisplayKeycodes(d, &min, &max);
  KeySym* keysyms = XGetKeyboardMapping(d, static_cast<KeyCode>(min), max - min + 1, &per);
  std::vector<KeySym> all(keysyms, keysyms + static_cast<std::ptrdiff_t>(max - min + 1) * per);
  XFree(keysyms);
  return all;
}

// Whether the server has any key or mouse button down.
bool anythingHeld(Display* d) {
  char keys[32];
  XQueryKeymap(d, keys);
  for (const char byte : keys) {
    if (byte != 0) return true;
  }
  Window root, child;
  int rootX, rootY, winX, winY;
  unsigned mask = 0;
  XQueryPointer(d, DefaultRootWindow(d), &root, &child, &rootX, &rootY, &winX, &winY, &mask);
  return (mask & (Button1Mask | Button2Mask | Button3Mask | Button4Mask | Button5Mask)) != 0;
}

int ignoreXError(Display*, XErrorEvent*) { return 0; }

// The CARD32 values of a property, or none.
std::vector<unsigned long> cardinals(Display* d, Window window, Atom property) {
  Atom type;
  int format;
  unsigned long count = 0, after;
  unsigned char* data = nullptr;
  std::vector<unsigned long> values;
  const auto previous = XSetErrorHandler(ignoreXError);  // the window may be gone
  XGetWindowProperty(d, window, property, 0, 4096, False, AnyPropertyType, &type, &format, &count,
                     &after, &data);
  XSync(d, False);
  XSetErrorHandler(previous);
  if (data != nullptr && format == 32) {
    const auto* longs = reinterpret_cast<const long*>(data);
    for (unsigned long i = 0; i < count; ++i) {
      values.push_back(static_cast<unsigned long>(longs[i]) & 0xFFFFFFFFul);
    }
  }
  if (data != nullptr) XFree(data);
  return values;
}

// Whether an agent that the server still counts as connected marks spare keycodes as its own:
// the marks on the root window are (keycode, owner window, nonce), and a live owner window
// holds the nonce.
bool liveAgentOwnsSpares(Display* d) {
  const Atom property = XInternAtom(d, "_INPUT_AGENT_SPARE_KEYCODES", True);
  if (property == 0) return false;
  const std::vector<unsigned long> marks = cardinals(d, DefaultRootWindow(d), property);
  for (std::size_t i = 0; i + 2 < marks.size(); i += 3) {
    if (cardinals(d, marks[i + 1], property) == std::vector<unsigned long>{marks[i + 2]}) {
      return true;
    }
  }
  return false;
}

std::vector<std::string> characters(const std::string& utf8) { return utf8Scalars(utf8); }

// One "key" line per scalar of the text: each typed as Unicode text.
std::string keyLines(const std::string& text) {
  std::string lines;
  for (const std::string& c : characters(text)) {
    lines += json{{"cmd", "key"}, {"key", c}}.dump() + "\n";
  }
  return lines;
}

// Polls a condition for up to five seconds.
template <typename Condition>
bool eventually(Condition condition) {
  const auto deadline = std::chrono::steady_clock::now() + 5s;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(20ms);
  }
  return true;
}

// The letters of a Unicode block range, as UTF-8.
std::string letters(char32_t first, char32_t last) {
  std::string text;
  for (char32_t c = first; c <= last; ++c) {
    text += static_cast<char>(0xC0 | (c >> 6));
    text += static_cast<char>(0x80 | (c & 0x3F));
  }
  return text;
}

// The characters of the text that belong to the given two-byte UTF-8 range, in order.
std::string only(const std::string& text, const std::string& alphabet) {
  const std::vector<std::string> in = characters(alphabet);
  std::string kept;
  for (const std::string& c : characters(text)) {
    if (std::find(in.begin(), in.end(), c) != in.end()) kept += c;
  }
  return kept;
}

class AppsTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { server = std::make_unique<Xvfb>(1024, 768); }
  static void TearDownTestSuite() { server.reset(); }

  void SetUp() override {
    if (!server->available()) GTEST_SKIP() << "Xvfb cannot be started here";
    display.reset(XOpenDisplay(server->display().c_str()));
    ASSERT_NE(display, nullptr);
  }

  ProcessOptions onDisplay() const {
    ProcessOptions options;
    options.setEnv = {{"DISPLAY", server->display()}};
    return options;
  }

  ProcessResult runAgent(const std::string& input) {
    const ProcessResult result = runProcess({AGENT}, input, onDisplay());
    EXPECT_EQ(result.exitStatus, 0) << input;
    EXPECT_EQ(result.out, "READY\n");
    return result;
  }

  static std::unique_ptr<Xvfb> server;
  std::unique_ptr<Display, DisplayCloser> display;
};
std::unique_ptr<Xvfb> AppsTest::server;

// Chromium, started once per test process, showing page.html: a text area at (0, 0) to
// (600, 200), a pad for clicks at (0, 220) to (600, 370), a scroller at (0, 390) to (600, 540).
class InChromium : public AppsTest {
 protected:
  static void SetUpTestSuite() {
    AppsTest::SetUpTestSuite();
    if (server->available()) {
      browser =
          std::make_unique<Chromium>(server->display(), "file://" APPS_DIR "/page.html", 800, 600);
    }
  }
  static void TearDownTestSuite() {
    browser.reset();
    takesInput = false;  // a repeated run starts another Chromium
    AppsTest::TearDownTestSuite();
  }

  void SetUp() override {
    AppsTest::SetUp();
    if (IsSkipped()) return;
    if (!browser || !browser->available()) GTEST_SKIP() << "Chromium cannot be started here";
    // X gives the keyboard to the window under the pointer; Chromium takes keys only once it
    // has learnt that it has the focus.
    XWarpPointer(display.get(), 0, DefaultRootWindow(display.get()), 0, 0, 0, 0, 300, 100);
    XSync(display.get(), False);
    ASSERT_TRUE(eventually([&] { return browser->evaluate("document.hasFocus()") == true; }));
    // Chromium may drop the first input after it starts; the tests begin once it takes keys.
    if (!takesInput) {
      ASSERT_EQ(browser->evaluate("log.length = 0"), 0);
      runAgent(R"({"cmd":"key","code":"ShiftLeft"})"
               "\n");
      ASSERT_TRUE(eventually([&] {
        if (log().size() >= 2) return true;
        runAgent(R"({"cmd":"key","code":"ShiftLeft"})"
                 "\n");
        return false;
      }));
      takesInput = true;
    }
    ASSERT_EQ(browser->evaluate("log.length = 0; text.value = ''; text.focus(); "
                                "scroller.scrollTop = scroller.scrollLeft = 0; true"),
              true);
  }

  std::string text() { return browser->evaluate("text.value").get<std::string>(); }
  std::vector<std::string> log() {
    return browser->evaluate("log").get<std::vector<std::string>>();
  }
  // The log once it has the given number of entries (or after five seconds).
  std::vector<std::string> logOf(std::size_t entries) {
    eventually([&] { return log().size() >= entries; });
    return log();
  }
  bool textBecomes(const std::string& expected) {
    return eventually([&] { return text() == expected; });
  }

  static std::unique_ptr<Chromium> browser;
  static bool takesInput;
};
std::unique_ptr<Chromium> InChromium::browser;
bool InChromium::takesInput = false;

// The pointer over the text area: X gives the keyboard to the window under the pointer.
constexpr char kOverText[] = "M 300 100\n";

// Forty accented letters, more than the spare keycodes of Xvfb's keymap.
const std::string kAccented = "àáâãäåæçèéêëìíîïðñòóôõöøùúûüýþÿāăąćĉċčďđēĕ";

TEST_F(InChromium, TextAtFullSpeedArrivesExactly) {
  std::string expected;
  for (int i = 0; i < 5; ++i) expected += kAccented;
  expected += "x é ñ € 😀 中 y 🇫🇷";
  runAgent(kOverText + keyLines(expected));
  EXPECT_TRUE(textBecomes(expected)) << text();
  expectNoKeyIdentity(log());
}

// 300 CJK characters, each typed once: every one a new binding of a spare keycode, each spare
// rebound many times over as fast as the agent rebinds.
TEST_F(InChromium, ThreeHundredDistinctCharactersAtFullSpeedArriveExactlyAndNameNoKey) {
  std::string expected;
  for (char32_t c = U'\u4E00'; c < U'\u4E00' + 300; ++c) {
    expected += {static_cast<char>(0xE0 | (c >> 12)), static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
                 static_cast<char>(0x80 | (c & 0x3F))};
  }
  runAgent(kOverText + keyLines(expected));
  EXPECT_TRUE(textBecomes(expected)) << characters(text()).size() << " characters";
  const std::vector<std::string> keydowns = log();
  EXPECT_EQ(std::count_if(keydowns.begin(), keydowns.end(),
                          [](const std::string& e) { return e.rfind("keydown ", 0) == 0; }),
            300);
  expectNoKeyIdentity(keydowns);
}

TEST_F(InChromium, TextAtAHumanPaceArrivesExactly) {
  const std::string expected = "ñ🇫🇷 x é € 😀 中 y àáâãäåæçèéêëìíîï";
  RunningProcess agent({AGENT}, onDisplay());
  ASSERT_TRUE(agent.waitForOut("READY\n"));
  ASSERT_TRUE(agent.write(kOverText));
  for (const std::string& c : characters(expected)) {
    ASSERT_TRUE(agent.write(keyLines(c)));
    std::this_thread::sleep_for(100ms);
  }
  EXPECT_EQ(agent.finish().exitStatus, 0);
  EXPECT_TRUE(textBecomes(expected)) << text();
  expectNoKeyIdentity(log());
}

TEST_F(InChromium, ChordsPressEachModifierOnce) {
  const struct {
    std::string input;
    std::vector<std::string> log;
  } cases[] = {
      {R"({"cmd":"key","code":"KeyA","shift":true})",
       {"keydown ShiftLeft S", "keydown KeyA S", "keyup KeyA S", "keyup ShiftLeft "}},
      // Chromium reports Meta's own press without metaKey and its release with it.
      {R"({"cmd":"key","code":"KeyA","meta":true})",
       {"keydown MetaLeft ", "keydown KeyA M", "keyup KeyA M", "keyup MetaLeft M"}},
      {R"({"cmd":"key","code":"KeyA","ctrl":true,"alt":true,"shift":true})",
       {"keydown ShiftLeft S", "keydown ControlLeft SC", "keydown AltLeft SCA", "keydown KeyA SCA",
        "keyup KeyA SCA", "keyup AltLeft SC", "keyup ControlLeft S", "keyup ShiftLeft "}},
      // A Shift the controller holds is neither pressed again nor released by a Shift flag.
      {R"({"cmd":"key","code":"ShiftLeft","action":"down"})"
       "\n"
       R"({"cmd":"key","code":"KeyA","shift":true})"
       "\n"
       R"({"cmd":"key","code":"ShiftLeft","action":"up"})",
       {"keydown ShiftLeft S", "keydown KeyA S", "keyup KeyA S", "keyup ShiftLeft "}},
      // A chord split over two lines, as a controller forwarding a person's keys sends it, has
      // the shape of a tap: the modifier stays held until the key's up.
      {R"({"cmd":"key","code":"KeyA","ctrl":true,"action":"down"})"
       "\n"
       R"({"cmd":"key","code":"KeyA","ctrl":true,"action":"up"})",
       {"keydown ControlLeft C", "keydown KeyA C", "keyup KeyA C", "keyup ControlLeft "}},
      {R"({"cmd":"key","code":"KeyC","meta":true,"action":"down"})"
       "\n"
       R"({"cmd":"key","code":"KeyC","meta":true,"action":"up"})",
       {"keydown MetaLeft ", "keydown KeyC M", "keyup KeyC M", "keyup MetaLeft M"}},
  };
  for (const auto& c : cases) {
    ASSERT_EQ(browser->evaluate("log.length = 0"), 0);
    runAgent(kOverText + c.input + "\n");
    EXPECT_EQ(logOf(c.log.size()), c.log) << c.input;
  }
}

TEST_F(InChromium, ShortcutsAreLinuxChords) {
  const struct {
    std::string name;
    std::vector<std::string> log;
  } cases[] = {
      {"copy", {"keydown ControlLeft C", "keydown KeyC C", "keyup KeyC C", "keyup ControlLeft "}},
      {"paste", {"keydown ControlLeft C", "keydown KeyV C", "keyup KeyV C", "keyup ControlLeft "}},
      {"lock_screen", {"keydown MetaLeft ", "keydown KeyL M", "keyup KeyL M", "keyup MetaLeft M"}},
      {"show_desktop", {"keydown MetaLeft ", "keydown KeyD M", "keyup KeyD M", "keyup MetaLeft M"}},
      {"ctrl_alt_del",
       {"keydown ControlLeft C", "keydown AltLeft CA", "keydown Delete CA", "keyup Delete CA",
        "keyup AltLeft C", "keyup ControlLeft "}},
      {"win_key", {"keydown MetaLeft ", "keyup MetaLeft M"}},
      {"cmd_space", {"keydown MetaLeft ", "keyup MetaLeft M"}},
      {"alt_tab", {"keydown AltLeft A", "keydown Tab A", "keyup Tab A", "keyup AltLeft "}},
      {"cmd_tab", {"keydown AltLeft A", "keydown Tab A", "keyup Tab A", "keyup AltLeft "}},
  };
  for (const auto& c : cases) {
    ASSERT_EQ(browser->evaluate("text.focus(); log.length = 0"), 0);
    runAgent(kOverText + json{{"cmd", "shortcut"}, {"shortcut", c.name}}.dump() + "\n");
    EXPECT_EQ(logOf(c.log.size()), c.log) << c.name;
  }
}

TEST_F(InChromium, CopyAndPasteChangeTheClipboard) {
  ASSERT_EQ(browser->evaluate("text.value = 'copied by Ctrl+C'; text.select(); true"), true);
  runAgent(std::string(kOverText) + R"({"cmd":"shortcut","shortcut":"copy"})"
                                    "\n");
  ProcessOptions options = onDisplay();
  options.timeoutMs = 5000;
  EXPECT_TRUE(eventually([&] {
    return runProcess({"/usr/bin/xclip", "-o", "-selection", "clipboard"}, "", options).out ==
           "copied by Ctrl+C";
  }));
  EXPECT_EQ(text(), "copied by Ctrl+C");
  ASSERT_EQ(browser->evaluate("text.value = ''; true"), true);
  runAgent(std::string(kOverText) + R"({"cmd":"shortcut","shortcut":"paste"})"
                                    "\n");
  EXPECT_TRUE(textBecomes("copied by Ctrl+C")) << text();
}

TEST_F(InChromium, DoubleClicksAndSeparateClicks) {
  runAgent(R"({"cmd":"dblclick","x":100,"y":300})"
           "\n");
  EXPECT_EQ(logOf(5), (std::vector<std::string>{"mousedown 0 1", "mouseup 0 1", "mousedown 0 2",
                                                "mouseup 0 2", "dblclick 0 2"}));

  ASSERT_EQ(browser->evaluate("log.length = 0"), 0);
  const std::string click = R"({"cmd":"down","x":300,"y":300})"
                            "\n"
                            R"({"cmd":"up","x":300,"y":300})"
                            "\n";
  RunningProcess agent({AGENT}, onDisplay());
  ASSERT_TRUE(agent.waitForOut("READY\n"));
  ASSERT_TRUE(agent.write(click));
  std::this_thread::sleep_for(800ms);  // longer than any double-click time
  ASSERT_TRUE(agent.write(click));
  EXPECT_EQ(agent.finish().exitStatus, 0);
  std::this_thread::sleep_for(200ms);
  EXPECT_EQ(log(), (std::vector<std::string>{"mousedown 0 1", "mouseup 0 1", "mousedown 0 1",
                                             "mouseup 0 1"}));

  // Two clicks at one spot in one burst, as a controller forwards a person's quick double
  // click: a double click, as the person's was.
  std::this_thread::sleep_for(800ms);
  ASSERT_EQ(browser->evaluate("log.length = 0"), 0);
  runAgent(click + click);
  EXPECT_EQ(logOf(5), (std::vector<std::string>{"mousedown 0 1", "mouseup 0 1", "mousedown 0 2",
                                                "mouseup 0 2", "dblclick 0 2"}));
}

TEST_F(InChromium, WheelScrolls) {
  runAgent("M 300 450\nW 0 300\nW 200 0\n");
  EXPECT_TRUE(eventually([&] {
    return browser->evaluate("scroller.scrollTop > 0 && scroller.scrollLeft > 0") == true;
  }));
}

// Keys and a button held when the agent ends, by each way it can end: all released, in the
// order last pressed first, and the exit status is 0.
TEST_F(InChromium, HeldKeysAndButtonsAreReleasedAtExit) {
  const struct {
    const char* name;
    int signal;  // 0: end of input
    const char* lastLine;
  } endings[] = {{"QUIT", 0, "QUIT\n"},
                 {"end of input", 0, ""},
                 {"SIGTERM", SIGTERM, ""},
                 {"SIGINT", SIGINT, ""},
                 {"SIGHUP", SIGHUP, ""}};
  int x = 0;
  for (const auto& ending : endings) {
    ASSERT_EQ(browser->evaluate("log.length = 0"), 0);
    RunningProcess agent({AGENT}, onDisplay());
    ASSERT_TRUE(agent.waitForOut("READY\n"));
    // A new place for each press, so that Chromium counts none as a second click.
    x += 100;
    const std::string at = R"("x":)" + std::to_string(x) + R"(,"y":300)";
    ASSERT_TRUE(agent.write("M " + std::to_string(x) + " 300\n" + R"({"cmd":"down",)" + at + "}\n" +
                            R"({"cmd":"key","code":"ShiftLeft","action":"down"})"
                            "\n"
                            R"({"cmd":"key","code":"KeyZ","action":"down"})"
                            "\n"));
    ASSERT_EQ(logOf(3).size(), 3u) << ending.name;
    ProcessResult result;
    if (ending.signal != 0) {
      ASSERT_EQ(kill(agent.pid(), ending.signal), 0);
      result = agent.waitForExit();
    } else {
      ASSERT_TRUE(agent.write(ending.lastLine));
      result = agent.finish();
    }
    EXPECT_EQ(result.signal, 0) << ending.name;
    EXPECT_EQ(result.exitStatus, 0) << ending.name;
    EXPECT_FALSE(anythingHeld(display.get())) << ending.name;
    std::vector<std::string> seen = logOf(6);
    // The server may have repeated the held Z meanwhile.
    seen.erase(std::unique(seen.begin(), seen.end()), seen.end());
    EXPECT_EQ(seen,
              (std::vector<std::string>{"mousedown 0 1", "keydown ShiftLeft S", "keydown KeyZ S",
                                        "keyup KeyZ S", "keyup ShiftLeft ", "mouseup 0 1"}))
        << ending.name;
  }
}

// An agent killed while typing leaves its bindings; the next agent takes those keycodes back,
// types every character, and leaves the keymap as it was before both.
TEST_F(InChromium, ASuccessorReclaimsTheSparesOfAKilledAgent) {
  const std::vector<KeySym> before = keymapOf(display.get());
  {
    RunningProcess killed({AGENT}, onDisplay());
    ASSERT_TRUE(killed.waitForOut("READY\n"));
    ASSERT_TRUE(killed.write(kOverText + keyLines(kAccented)));
    ASSERT_TRUE(eventually([&] { return characters(text()).size() >= 10; }));
    ASSERT_EQ(kill(killed.pid(), SIGKILL), 0);
    EXPECT_EQ(killed.waitForExit().signal, SIGKILL);
  }
  // The server carries out what the killed agent had sent (delayed key presses) before it
  // notices the end of the connection and destroys the agent's windows.
  ASSERT_TRUE(eventually([&] { return !liveAgentOwnsSpares(display.get()); }));
  ASSERT_NE(keymapOf(display.get()), before);
  ASSERT_EQ(browser->evaluate("text.value = ''; true"), true);
  const std::string expected = "x é ñ € 😀 中 y";
  runAgent(kOverText + keyLines(expected));
  EXPECT_TRUE(textBecomes(expected)) << text();
  EXPECT_EQ(keymapOf(display.get()), before);
}

// Two agents typing at the same time into one text area: each one's characters arrive, in its
// own order, none turned into another's.
TEST_F(InChromium, TwoAgentsAtOnceTypeTheirOwnText) {
  const std::string greek = letters(U'\u03b1', U'\u03c9');
  const std::string cyrillic = letters(U'\u0430', U'\u044f');
  RunningProcess first({AGENT}, onDisplay());
  RunningProcess second({AGENT}, onDisplay());
  ASSERT_TRUE(first.waitForOut("READY\n"));
  ASSERT_TRUE(second.waitForOut("READY\n"));
  ASSERT_TRUE(first.write(kOverText));
  const std::vector<std::string> a = characters(greek), b = characters(cyrillic);
  for (std::size_t i = 0; i < std::max(a.size(), b.size()); ++i) {
    if (i < a.size()) {
      ASSERT_TRUE(first.write(keyLines(a[i])));
    }
    if (i < b.size()) {
      ASSERT_TRUE(second.write(keyLines(b[i])));
    }
  }
  EXPECT_EQ(first.finish().exitStatus, 0);
  EXPECT_EQ(second.finish().exitStatus, 0);
  EXPECT_TRUE(eventually([&] { return characters(text()).size() >= a.size() + b.size(); }));
  const std::string typed = text();
  EXPECT_EQ(only(typed, greek), greek) << typed;
  EXPECT_EQ(only(typed, cyrillic), cyrillic) << typed;
  EXPECT_EQ(characters(typed).size(), a.size() + b.size()) << typed;
}

// A GTK 3 entry: the shortcuts change the clipboard and paste from it, and text arrives.
class InGtkEntry : public AppsTest {
 protected:
  void SetUp() override {
    AppsTest::SetUp();
    if (IsSkipped()) return;
    ProcessOptions options = onDisplay();
    options.setEnv.push_back({"GDK_BACKEND", "x11"});
    options.setEnv.push_back({"NO_AT_BRIDGE", "1"});
    entry = std::make_unique<RunningProcess>(
        std::vector<std::string>{"/usr/bin/python3", APPS_DIR "/gtk_entry.py", "hello"}, options);
    if (!entry->waitForOut("READY\n", 20000)) GTEST_SKIP() << "no GTK 3 for Python here";
  }

  // The entry's text, asked for once more.
  std::string entryText() {
    const std::size_t start = entry->out().size();
    entry->write("text\n");
    entry->waitForOut("\n", 5000, start);
    const std::size_t end = entry->out().find('\n', start);
    return end == std::string::npos ? "" : entry->out().substr(start, end - start);
  }

  std::unique_ptr<RunningProcess> entry;
};

TEST_F(InGtkEntry, CopyPasteAndText) {
  // The entry starts with its text selected.
  runAgent(
      "M 100 30\n"
      R"({"cmd":"shortcut","shortcut":"copy"})"
      "\n");
  ProcessOptions options = onDisplay();
  options.timeoutMs = 5000;
  EXPECT_TRUE(eventually([&] {
    return runProcess({"/usr/bin/xclip", "-o", "-selection", "clipboard"}, "", options).out ==
           "hello";
  }));
  EXPECT_EQ(entryText(), "hello");
  runAgent(
      "M 100 30\n"
      R"({"cmd":"key","code":"End"})"
      "\n"
      R"({"cmd":"shortcut","shortcut":"paste"})"
      "\n" +
      keyLines(" x é ñ € 😀 中 y"));
  EXPECT_TRUE(eventually([&] { return entryText() == "hellohello x é ñ € 😀 中 y"; }))
      << entryText();
}

// A GTK 3 and a Qt 5 window (tests/apps/click_counter.py): two clicks at one spot in one burst
// are a double click, and two clicks a second apart are two. Both toolkits count a press at the
// same server time as the one before as a double click's second (Chromium does not; see
// InChromium.DoubleClicksAndSeparateClicks): what matters here is that the agent's later time
// for the second press keeps them counting it.
class InToolkitWindow : public AppsTest, public testing::WithParamInterface<const char*> {};

TEST_P(InToolkitWindow, TwoClicksInOneBurstAreADoubleClickAndTwoApartAreTwo) {
  const std::string toolkit = GetParam();
  if (!ClickCounter::installed(toolkit, false)) GTEST_SKIP() << toolkit << " is not installed";
  ClickCounter counter(toolkit, false, onDisplay());
  ASSERT_TRUE(counter.ready()) << counter.err();
  const std::string click = R"({"cmd":"down","x":300,"y":300})"
                            "\n"
                            R"({"cmd":"up","x":300,"y":300})"
                            "\n";
  ASSERT_TRUE(eventually([&] {
    runAgent("M 300 300\n" + click);
    return !counter.presses().empty();
  }));
  // More than twice any double-click time between the cases (GTK takes a press within twice
  // its time of a double click for a triple click).
  std::this_thread::sleep_for(1s);
  counter.clear();
  runAgent(click + click);
  EXPECT_TRUE(eventually([&] {
    const std::vector<std::string> presses = counter.presses();
    return std::count(presses.begin(), presses.end(), "double") == 1;
  }));

  std::this_thread::sleep_for(1s);
  counter.clear();
  RunningProcess agent({AGENT}, onDisplay());
  ASSERT_TRUE(agent.waitForOut("READY\n"));
  ASSERT_TRUE(agent.write(click));
  std::this_thread::sleep_for(1s);
  ASSERT_TRUE(agent.write(click));
  EXPECT_EQ(agent.finish().exitStatus, 0);
  EXPECT_TRUE(eventually([&] { return counter.presses().size() >= 2; }));
  std::this_thread::sleep_for(200ms);
  EXPECT_EQ(counter.presses(), (std::vector<std::string>{"press", "press"}));
}

INSTANTIATE_TEST_SUITE_P(GtkAndQt, InToolkitWindow, testing::Values("gtk", "qt"));

}  // namespace
