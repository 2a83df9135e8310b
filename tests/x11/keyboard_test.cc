// input-agent on a real X server: key commands, modifier flags, Unicode text and shortcuts, as
// a text-entry window receives them.
#include "x11/key_reader.h"
#include "x11/x11_fixture.h"
// clang-format off
#include <X11/XKBlib.h>
#include <X11/keysym.h>
// clang-format on

namespace {

class Keyboard : public X11Test {
 protected:
  // Runs the agent on the input with a reader window open, and returns what the window read.
  std::vector<KeyPressed> pressesFor(const std::string& input) {
    KeyReader reader(xvfb.display());
    EXPECT_TRUE(reader.ready());
    const ProcessResult result = runAgent(input);
    EXPECT_EQ(result.out, "READY\n");
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.exitStatus, 0);
    return reader.stopAndTake();
  }
};

TEST_F(Keyboard, KeysArriveWithExactlyTheirModifiers) {
  const struct {
    std::string input;
    std::vector<KeyPressed> presses;
  } cases[] = {
      {R"({"cmd":"key","code":"KeyA"})", {{XK_a, 0, "a"}}},
      {R"({"cmd":"key","code":"KeyA","shift":true})", {{XK_A, ShiftMask, "A"}}},
      {R"({"cmd":"key","code":"KeyA","meta":true})", {{XK_a, Mod4Mask, "a"}}},
      {R"({"cmd":"key","code":"KeyA","ctrl":true,"alt":true})",
       {{XK_a, ControlMask | Mod1Mask, "\x01"}}},
      {R"({"cmd":"key","code":"Digit5"})", {{XK_5, 0, "5"}}},
      {R"({"cmd":"key","code":"NumpadEnter"})", {{XK_KP_Enter, 0, "\r"}}},
      {R"({"cmd":"key","code":"Delete"})", {{XK_Delete, 0, "\x7f"}}},
      // Linux chords for the named shortcuts.
      {R"({"cmd":"shortcut","shortcut":"copy"})", {{XK_c, ControlMask, "\x03"}}},
      {R"({"cmd":"shortcut","shortcut":"paste"})", {{XK_v, ControlMask, "\x16"}}},
      {R"({"cmd":"shortcut","shortcut":"lock_screen"})", {{XK_l, Mod4Mask, "l"}}},
      {R"({"cmd":"shortcut","shortcut":"show_desktop"})", {{XK_d, Mod4Mask, "d"}}},
      {R"({"cmd":"shortcut","shortcut":"alt_tab"})", {{XK_Tab, Mod1Mask, "\t"}}},
      {R"({"cmd":"shortcut","shortcut":"ctrl_alt_del"})",
       {{XK_Delete, ControlMask | Mod1Mask, "\x7f"}}},
      // A Shift the agent holds is not pressed again, nor released, by a Shift flag.
      {R"({"cmd":"key","code":"ShiftLeft","action":"down"})"
       "\n"
       R"({"cmd":"key","code":"KeyA","shift":true})"
       "\n"
       R"({"cmd":"key","code":"KeyB"})"
       "\n"
       R"({"cmd":"key","code":"ShiftLeft","action":"up"})"
       "\n"
       R"({"cmd":"key","code":"KeyC"})",
       {{XK_A, ShiftMask, "A"}, {XK_B, ShiftMask, "B"}, {XK_c, 0, "c"}}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(pressesFor(c.input + "\n"), c.presses) << c.input;
  }
}

TEST_F(Keyboard, KeysAreFoundByTheirNamesInTheServersKeymap) {
  // A keymap numbered unlike evdev: the Linux code plus 8 would press other keys.
  XkbComponentNamesRec names{};
  char keymap[] = "", keycodes[] = "xfree86", types[] = "complete", compat[] = "complete",
       symbols[] = "pc+us", geometry[] = "";
  names.keymap = keymap;
  names.keycodes = keycodes;
  names.types = types;
  names.compat = compat;
  names.symbols = symbols;
  names.geometry = geometry;
  XkbDescPtr loaded =
      XkbGetKeyboardByName(display.get(), XkbUseCoreKbd, &names, XkbGBN_AllComponentsMask,
                           XkbGBN_AllComponentsMask, True);
  ASSERT_NE(loaded, nullptr);
  XkbFreeKeyboard(loaded, 0, True);
  ASSERT_NE(XKeysymToKeycode(display.get(), XK_Up), 111);  // 111 is KEY_UP plus 8

  EXPECT_EQ(
      pressesFor(R"({"cmd":"key","code":"ArrowUp"})"
                 "\n"
                 R"({"cmd":"key","code":"Delete","meta":true})"
                 "\n"
                 R"({"cmd":"key","code":"KeyA"})"
                 "\n"
                 R"({"cmd":"key","key":"é"})"
                 "\n"),
      (std::vector<KeyPressed>{
          {XK_Up, 0, ""}, {XK_Delete, Mod4Mask, "\x7f"}, {XK_a, 0, "a"}, {XK_eacute, 0, "é"}}));
}

std::string keyLine(const std::string& jsonText, const std::string& rest) {
  return R"({"cmd":"key","key":")" + jsonText + "\"" + rest + "}\n";
}

TEST_F(Keyboard, UnicodeTextArrivesExactly) {
  const struct {
    std::string json, text;
  } cases[] = {{"é", "é"},   {"ß", "ß"}, {"€", "€"},   {"😀", "😀"}, {"👍🏽", "👍🏽"},
               {"🇫🇷", "🇫🇷"}, {"a", "a"}, {"\\t", "\t"}};
  for (const auto& c : cases) {
    KeyReader reader(xvfb.display());
    ASSERT_TRUE(reader.ready());
    // A shift flag leaves text as it is; the key-up of a character typed on key-down adds none.
    runAgent(keyLine(c.json, R"(,"shift":true,"action":"down")") +
             keyLine(c.json, R"(,"action":"up")"));
    EXPECT_EQ(reader.stopAndTakeText(), c.text) << c.json;
  }
}

TEST_F(Keyboard, LongTextArrivesAndTheKeymapIsRestoredAtExit) {
  const std::vector<KeySym> before = keymapOf(display.get());
  // More distinct characters than the server has spare keycodes, some repeated.
  std::vector<std::string> characters;
  for (char32_t c = 0x3B1; c <= 0x3C9; ++c) {  // Greek small letters
    characters.push_back(
        {static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F))});
  }
  for (const char* c : {"ж", "ж", "щ", "€", "😀", "€"}) characters.push_back(c);
  std::string input;
  for (const std::string& c : characters) input += keyLine(c, "");
  ASSERT_GT(characters.size() - 2, unboundKeycodes(display.get()));  // distinct ones
  // A window that lags behind sees each key with the binding the key was sent with.
  KeyReader reader(xvfb.display(), std::chrono::milliseconds(50));
  ASSERT_TRUE(reader.ready());
  ASSERT_EQ(runAgent(input).exitStatus, 0);
  std::vector<std::string> typed;
  for (const KeyPressed& k : reader.stopAndTake()) typed.push_back(k.text);
  EXPECT_EQ(typed, characters);
  EXPECT_EQ(keymapOf(display.get()), before);
}

}  // namespace
