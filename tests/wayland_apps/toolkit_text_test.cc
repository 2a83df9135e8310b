// Typed text in real toolkits natively on Wayland, on every compositor route: a GTK 3 entry
// (tests/apps/gtk_entry.py) and a Qt 5 line edit (tests/apps/qt_entry.py), each full screen, under
// sway, KWin and mutter in turn, the agent choosing its route by itself and driven as a
// controller drives it (one `key` command per character). What arrives is compared exactly:
//
// - sway (wlroots): every character, whatever it is, at full speed and 100 ms apart;
// - KWin (fake input) and mutter (remote desktop): exactly the characters that a key of the
//   session's keymap types (evdev rules, pc105, US: printable ASCII, and the euro sign of the
//   multimedia keys' KEY_EURO), each as itself; every other character is dropped, never typed as
//   another.
//
// The whole file runs as one test process; the compositors take turns.
#include <gtest/gtest.h>
#include <xkbcommon/xkbcommon.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "support/eventually.h"
#include "support/kwin_session.h"
#include "support/mutter_session.h"
#include "support/run_process.h"
#include "support/sway_session.h"
#include "support/utf8_scalars.h"

namespace {

using namespace std::chrono_literals;
using Environment = std::vector<std::pair<std::string, std::string>>;
using Characters = std::vector<std::string>;  // user-perceived characters, as UTF-8

// UTF-8 text split into its scalars (none of the texts below has a character of several).
Characters scalars(const std::string& utf8) { return utf8Scalars(utf8); }

// The characters that some key of the sessions' keymap types, at any level of its layout.
const std::set<char32_t>& layoutCharacters() {
  static const std::set<char32_t> characters = [] {
    std::set<char32_t> found;
    xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    const xkb_rule_names names{"evdev", "pc105", "us", "", ""};
    xkb_keymap* keymap = xkb_keymap_new_from_names(context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
    if (keymap != nullptr) {
      for (xkb_keycode_t key = xkb_keymap_min_keycode(keymap);
           key <= xkb_keymap_max_keycode(keymap); ++key) {
        for (xkb_level_index_t level = 0; level < xkb_keymap_num_levels_for_key(keymap, key, 0);
             ++level) {
          const xkb_keysym_t* keysyms = nullptr;
          const int count = xkb_keymap_key_get_syms_by_level(keymap, key, 0, level, &keysyms);
          for (int i = 0; i < count; ++i) {
            const char32_t c = xkb_keysym_to_utf32(keysyms[i]);
            if (c >= 0x20) found.insert(c);
          }
        }
      }
      xkb_keymap_unref(keymap);
    }
    xkb_context_unref(context);
    return found;
  }();
  return characters;
}

char32_t scalarOf(const std::string& character) {
  const auto byte = [&](std::size_t i) { return static_cast<char32_t>(character[i] & 0x3F); };
  const auto lead = static_cast<unsigned char>(character[0]);
  switch (character.size()) {
    case 1:
      return lead;
    case 2:
      return (lead & 0x1F) << 6 | byte(1);
    case 3:
      return (lead & 0x0F) << 12 | byte(1) << 6 | byte(2);
    default:
      return (lead & 0x07) << 18 | byte(1) << 12 | byte(2) << 6 | byte(3);
  }
}

// Whether the sessions' layout has a key for the character (one scalar).
bool onLayout(const std::string& character) {
  return !character.empty() && scalars(character).size() == 1 &&
         layoutCharacters().count(scalarOf(character)) > 0;
}

// A text field of a toolkit, full screen in the session: tests/apps/gtk_entry.py or qt_entry.py.
class Entry {
 public:
  // Whether the toolkit's Python bindings (and Qt's Wayland platform plugin) are installed.
  static bool installed(const std::string& name) {
    const std::string check =
        name == "GTK"
            ? "import gi; gi.require_version('Gtk', '3.0'); from gi.repository import Gtk"
            : "import os, sys; from PyQt5.QtCore import QLibraryInfo as L; import PyQt5.QtWidgets; "
              "sys.exit(not os.path.exists(L.location(L.PluginsPath) + "
              "'/platforms/libqwayland-generic.so'))";
    ProcessOptions options;
    options.unsetEnv = {"DISPLAY", "WAYLAND_DISPLAY"};
    return runProcess({"/usr/bin/python3", "-c", check}, "", options).exitStatus == 0;
  }

  Entry(const std::string& name, const Environment& environment) : name(name) {
    ProcessOptions options;
    options.setEnv = environment;
    options.unsetEnv = {"DISPLAY"};
    std::vector<std::string> argv = {"/usr/bin/python3"};
    if (name == "GTK") {
      options.setEnv.emplace_back("GDK_BACKEND", "wayland");
      options.setEnv.emplace_back("NO_AT_BRIDGE", "1");
      argv.insert(argv.end(), {APPS_DIR "/gtk_entry.py", "--fullscreen"});
    } else {
      options.setEnv.emplace_back("QT_QPA_PLATFORM", "wayland");
      options.setEnv.emplace_back("QT_ACCESSIBILITY", "0");
      argv.push_back(APPS_DIR "/qt_entry.py");
    }
    process = std::make_unique<RunningProcess>(argv, options);
    ready = process->waitForOut("READY\n", 20000);
  }
  ~Entry() { process->finish(); }

  const std::string name;
  bool ready = false;

  std::string text() { return ask("text"); }
  void clear() { ask("clear"); }
  std::string err() const { return process->err(); }

 private:
  std::string ask(const std::string& request) {
    const std::size_t from = process->out().size();
    if (!process->write(request + "\n") || !process->waitForOut("\n", 5000, from)) return "?";
    std::string answer = process->out().substr(from);
    answer.pop_back();
    return answer;
  }
  std::unique_ptr<RunningProcess> process;
};

std::string keyLine(const std::string& character) {
  std::string escaped;
  for (const char c : character) {
    if (c == '"' || c == '\\') escaped += '\\';
    escaped += c;
  }
  return R"({"cmd":"key","key":")" + escaped + "\"}\n";
}

class Compositor {
 public:
  virtual ~Compositor() = default;
  virtual std::string failure() const = 0;
  virtual Environment environment() const = 0;
  // Whether every character arrives (else only those of the layout).
  virtual bool anyCharacter() const = 0;
  virtual std::string name() const = 0;

  ProcessOptions agentOptions() const {
    ProcessOptions options;
    options.setEnv = environment();
    options.unsetEnv = {"DISPLAY", "INPUT_AGENT_BACKEND"};
    return options;
  }

  // One agent for all of the lines, at full speed.
  void agent(const std::string& lines) {
    const ProcessResult result = runProcess({AGENT}, lines, agentOptions());
    EXPECT_EQ(result.exitStatus, 0) << result.err;
  }

  // What arrives of `characters`: all of them, or those the layout has.
  std::string expected(const Characters& characters) const {
    std::string text;
    for (const std::string& c : characters) {
      if (anyCharacter() || onLayout(c)) text += c;
    }
    return text;
  }
};

template <typename Session>
class In final : public Compositor {
 public:
  In(const char* name, bool any) : name_(name), any_(any) {}
  Session session;
  std::string failure() const override { return session.failure(); }
  Environment environment() const override { return session.environment(); }
  bool anyCharacter() const override { return any_; }
  std::string name() const override { return name_; }

 private:
  const char* name_;
  bool any_;
};

// Types `characters` into the entry, one agent for all (or, `apart` > 0, written that far apart),
// and expects exactly what the compositor lets through. Every text ends in an ASCII character,
// so that once the expected text is there, nothing typed can still be on its way.
void expectTyped(Compositor& compositor, Entry& entry, const std::string& what,
                 const Characters& characters, std::chrono::milliseconds apart = 0ms) {
  ASSERT_TRUE(onLayout(characters.back()) && characters.back().size() == 1);
  entry.clear();
  if (apart == 0ms) {
    std::string lines;
    for (const std::string& c : characters) lines += keyLine(c);
    compositor.agent(lines);
  } else {
    RunningProcess agent({AGENT}, compositor.agentOptions());
    ASSERT_TRUE(agent.waitForOut("READY\n"));
    for (const std::string& c : characters) {
      agent.write(keyLine(c));
      std::this_thread::sleep_for(apart);
    }
    EXPECT_EQ(agent.finish().exitStatus, 0);
  }
  const std::string expected = compositor.expected(characters);
  std::string text;
  EXPECT_TRUE(eventually([&] { return (text = entry.text()) == expected; }, 15s))
      << compositor.name() << ", " << entry.name << ", " << what << ":\n  arrived  [" << text
      << "]\n  expected [" << expected << "]";
}

void checkToolkit(Compositor& compositor, const std::string& toolkit) {
  Entry entry(toolkit, compositor.environment());
  ASSERT_TRUE(entry.ready) << toolkit << " did not start: " << entry.err();
  // A click into the full screen field, then a letter until one arrives: the window has the
  // keyboard focus once it types.
  compositor.agent(
      "M 640 400\n{\"cmd\":\"down\",\"x\":640,\"y\":400}\n{\"cmd\":\"up\",\"x\":640,\"y\":400}\n");
  ASSERT_TRUE(eventually(
      [&] {
        compositor.agent(keyLine("x"));
        return entry.text().find('x') != std::string::npos;
      },
      15s))
      << toolkit << " never took a key";

  // Each single character between two bars, so that a dropped one leaves "||".
  Characters singles = {"|"};
  for (const char* c : {"é", "ñ", "ß", "€", "😀", "中", "👍🏽", "🇫🇷"}) {
    singles.insert(singles.end(), {c, "|"});
  }
  expectTyped(compositor, entry, "single characters", singles);

  const Characters sentence =
      scalars("Grüße aus Köln, naïve café: 5 € für 2 Äpfel; 中文 OK 😀 ñ ß ja!");
  ASSERT_EQ(sentence.size(), 60u);
  expectTyped(compositor, entry, "a mixed sentence", sentence);

  // 200 distinct CJK characters at full speed (U+4E00 on), between brackets.
  Characters cjk = {"["};
  for (char32_t c = 0x4E00; c < 0x4E00 + 200; ++c) {
    cjk.push_back({static_cast<char>(0xE0 | (c >> 12)), static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
                   static_cast<char>(0x80 | (c & 0x3F))});
  }
  cjk.push_back("]");
  expectTyped(compositor, entry, "200 distinct CJK characters", cjk);

  const Characters slow = scalars("The quick brown fox: é ñ ß € 中 😀 jumps over 9 dog!");
  ASSERT_EQ(slow.size(), 50u);
  expectTyped(compositor, entry, "50 characters 100 ms apart", slow, 100ms);
}

template <typename Session>
void checkCompositor(const char* name, bool anyCharacter) {
  In<Session> compositor(name, anyCharacter);
  ASSERT_EQ(compositor.failure(), "");
  for (const char* toolkit : {"GTK", "Qt"}) {
    SCOPED_TRACE(toolkit);
    if (!Entry::installed(toolkit)) {
      std::printf("%s: not installed, skipped\n", toolkit);
      continue;
    }
    checkToolkit(compositor, toolkit);
  }
}

TEST(TextInToolkits, OnSwayEveryCharacterArrives) {
  if (!SwaySession::installed()) GTEST_SKIP() << "sway is not installed";
  checkCompositor<SwaySession>("sway", true);
}

TEST(TextInToolkits, OnKWinTheLayoutsCharactersArriveAndNoOthers) {
  if (!KWinSession::installed()) GTEST_SKIP() << "KWin is not installed";
  checkCompositor<KWinSession>("KWin", false);
}

TEST(TextInToolkits, OnMutterTheLayoutsCharactersArriveAndNoOthers) {
  if (!MutterSession::installed()) GTEST_SKIP() << "mutter is not installed";
  checkCompositor<MutterSession>("mutter", false);
}

}  // namespace
