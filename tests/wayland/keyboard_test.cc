// The wlroots route under headless sway: keys by physical key, chords with exactly their
// modifiers, the Linux shortcut chords and Unicode text, as the tests' own window receives them.
#include <linux/input-event-codes.h>

#include "keys/key_table.h"
#include "support/route_cases.h"
#include "wayland/wayland_fixture.h"

namespace {

using Keyboard = WaylandTest;

TEST_F(Keyboard, EveryKeyNameArrivesAsItsLinuxKey) {
  const EveryKeyName keys = everyKeyName();
  std::vector<std::string> lines = run(keys.input, {"key"});
  for (std::string& line : lines) line = withoutText(line);
  EXPECT_EQ(lines, keys.expected);
}

// The keys and modifier states of a chord, in order: "key 42 1", "mods Shift", "key 30 1 A", ...
TEST_F(Keyboard, ChordsArriveWithExactlyTheirModifiersPressedOnce) {
  std::vector<ChordCase> cases = sharedChordCases();
  cases.push_back({R"({"cmd":"key","code":"KeyC","ctrl":true,"alt":true,"meta":true})",
                   {"key 29 1 -", "mods Control", "key 56 1 -", "mods Control+Mod1", "key 125 1 -",
                    "mods Control+Mod1+Mod4", "key 46 1 U+03", "key 46 0 -", "key 125 0 -",
                    "mods Control+Mod1", "key 56 0 -", "mods Control", "key 29 0 -", "mods -"}});
  for (const ChordCase& c : cases) {
    EXPECT_EQ(run(std::string(c.input) + "\n", {"key", "mods"}), c.expected) << c.input;
  }
}

TEST_F(Keyboard, ShortcutsAreTheLinuxChords) {
  const struct {
    const char* name;
    std::vector<std::string> expected;
  } cases[] = {
      {"copy",
       {"key 29 1 -", "mods Control", "key 46 1 U+03", "key 46 0 -", "key 29 0 -", "mods -"}},
      {"paste",
       {"key 29 1 -", "mods Control", "key 47 1 U+16", "key 47 0 -", "key 29 0 -", "mods -"}},
      {"alt_tab",
       {"key 56 1 -", "mods Mod1", "key 15 1 U+09", "key 15 0 -", "key 56 0 -", "mods -"}},
      {"win_key", {"key 125 1 -", "mods Mod4", "key 125 0 -", "mods -"}},
      {"lock_screen",
       {"key 125 1 -", "mods Mod4", "key 38 1 l", "key 38 0 -", "key 125 0 -", "mods -"}},
      {"ctrl_alt_del",
       {"key 29 1 -", "mods Control", "key 56 1 -", "mods Control+Mod1", "key 111 1 U+7F",
        "key 111 0 -", "key 56 0 -", "mods Control", "key 29 0 -", "mods -"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(run("{\"cmd\":\"shortcut\",\"shortcut\":\"" + std::string(c.name) + "\"}\n",
                  {"key", "mods"}),
              c.expected)
        << c.name;
  }
}

class GermanSeat : public WaylandTest {
 protected:
  std::string seatLayout() const override { return "de"; }
};

TEST_F(GermanSeat, KeysTypeWhatTheSeatsLayoutPutsThere) {
  // The agent's keymap is the seat's: on a German layout the keys in the places of Y and Z on a
  // US keyboard type z and y, and Shift+Digit2 types a quotation mark.
  EXPECT_EQ(run("{\"cmd\":\"key\",\"code\":\"KeyY\"}\n{\"cmd\":\"key\",\"code\":\"KeyZ\"}\n"
                "{\"cmd\":\"key\",\"code\":\"Digit2\",\"shift\":true}\n",
                {"key"}),
            (std::vector<std::string>{"key 21 1 z", "key 21 0 -", "key 44 1 y", "key 44 0 -",
                                      "key 42 1 -", "key 3 1 \"", "key 3 0 -", "key 42 0 -"}));
}

// What the key presses typed, joined.
std::string typed(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) {
    const std::size_t state = line.find(' ', 4);
    if (line.compare(state, 3, " 1 ") != 0) continue;
    text += line.substr(state + 3);
  }
  return text;
}

TEST_F(Keyboard, TextOfAnyCharacterArrivesWhole) {
  const std::vector<std::string> characters = {"é", "ß", "€", "😀", "👍🏽", "🇫🇷", "東"};
  std::string input, expected;
  for (const std::string& c : characters) {
    input += "{\"cmd\":\"key\",\"key\":\"" + c + "\"}\n";
    expected += c;
  }
  EXPECT_EQ(typed(run(input, {"key"})), expected);
}

TEST_F(Keyboard, TwoHundredCharactersOneALine) {
  // More distinct characters than there are spare keycodes, so bindings are reused, and
  // characters that repeat.
  const std::string alphabet =
      "àáâãäåæçèéêëìíîïðñòóôõöøùúûüýþÿāăąćĉċčďđēĕėęěĝğġģĥħĩīĭįıĵķĺļľŀłńņňŋōŏőœŕŗřśŝşšţťŧũūŭůűų"
      "αβγδεζηθικλμνξοπρστυφχψωабвгдежзийклмнопрстуфхцчшщъыьэюя東京大阪€😀🎉";
  std::vector<std::string> scalars;
  for (std::size_t i = 0; i < alphabet.size();) {
    const unsigned char lead = static_cast<unsigned char>(alphabet[i]);
    const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    scalars.push_back(alphabet.substr(i, length));
    i += length;
  }
  std::string input, expected;
  for (int i = 0; i < 200; ++i) {
    const std::string& c = scalars[(i * 7) % scalars.size()];
    input += "{\"cmd\":\"key\",\"key\":\"" + c + "\"}\n";
    expected += c;
  }
  EXPECT_EQ(typed(run(input, {"key"})), expected);
}

}  // namespace
