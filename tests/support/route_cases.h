// Cases that every Wayland route's end-to-end tests run the same way (wlroots under sway, KDE,
// GNOME), each against the route's own receiver, whose lines read "key <code> <1|0> <text>",
// "mods <state>" and "button <code> <1|0> ...".
#pragma once

#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "keys/key_codes.h"
#include "keys/key_table.h"
#include "support/receiver_lines.h"
#include "support/run_process.h"

// "key 30 1 a" without its text: "key 30 1".
inline std::string withoutText(const std::string& line) {
  const std::size_t space = line.find(' ', line.find(' ', 4) + 1);
  return space == std::string::npos ? line : line.substr(0, space);
}

// What the presses among "key" lines type, in order ("key 30 1 a" types "a").
inline std::vector<std::string> typedBy(const std::vector<std::string>& lines) {
  std::vector<std::string> typed;
  for (const std::string& line : lines) {
    const std::size_t space = line.find(' ', line.find(' ', 4) + 1);
    if (space == std::string::npos || line.compare(space - 2, 2, " 1") != 0) continue;
    const std::string text = line.substr(space + 1);
    if (text != "-") typed.push_back(text);
  }
  return typed;
}

// Text on a route that types through the keys of the compositor's layout (US here), with Shift
// where a character needs it: characters the layout lacks are dropped, and a 200-character text
// one character a line arrives whole and in order. `runKeys` runs the agent on its input and
// returns the receiver's "key" lines.
template <typename RunKeys>
void expectUsLayoutTextTypedAndOthersDropped(RunKeys&& runKeys) {
  std::string input;
  for (const char* text : {"a", "Z", "@", "é", "😀", "東", "\\n", " ", "~"}) {
    input += std::string("{\"cmd\":\"key\",\"key\":\"") + text + "\"}\n";
  }
  EXPECT_EQ(typedBy(runKeys(input)), (std::vector<std::string>{"a", "Z", "@", "U+0D", " ", "~"}));

  std::string text, lines;
  for (int i = 0; i < 200; ++i) {
    const char c = static_cast<char>('a' + i % 26);
    text += c;
    lines += std::string("{\"cmd\":\"key\",\"key\":\"") + c + "\"}\n";
  }
  std::string received;
  for (const std::string& typed : typedBy(runKeys(lines))) received += typed;
  EXPECT_EQ(received, text);
}

// One key command for every key name, and the press and release of its Linux key that each
// brings, except the Linux keys that `skipped` names.
struct EveryKeyName {
  std::string input;
  std::vector<std::string> expected;
};
inline EveryKeyName everyKeyName(const std::vector<std::uint32_t>& skipped = {}) {
  EveryKeyName run;
  for (const KeyCodeRow& row : kKeyCodeTable) {
    const PhysicalKey* key = findPhysicalKey(row.code);
    EXPECT_NE(key, nullptr) << row.name;
    if (key == nullptr) continue;
    if (std::find(skipped.begin(), skipped.end(), key->linuxCode) != skipped.end()) continue;
    run.input += "{\"cmd\":\"key\",\"code\":\"" + std::string(row.name) + "\"}\n";
    run.expected.push_back("key " + std::to_string(key->linuxCode) + " 1");
    run.expected.push_back("key " + std::to_string(key->linuxCode) + " 0");
  }
  return run;
}

// Holds a key, the right Shift and the middle button, then ends the agent each way it can end
// (QUIT, the end of its input, SIGTERM, SIGINT, SIGHUP): each time it exits with 0 and the
// receiver sees every one of them released.
inline void expectHeldInputsReleasedOnEveryEnd(RunningProcess& receiver,
                                               const ProcessOptions& agentOptions) {
  const struct {
    const char* name;
    int signal;  // 0: the input ends the agent
    const char* input;
  } ends[] = {{"QUIT", 0, "QUIT\n"},
              {"end of input", 0, ""},
              {"SIGTERM", SIGTERM, ""},
              {"SIGINT", SIGINT, ""},
              {"SIGHUP", SIGHUP, ""}};
  for (const auto& end : ends) {
    const std::size_t from = receiver.out().size();
    RunningProcess agent({AGENT}, agentOptions);
    ASSERT_TRUE(agent.waitForOut("READY\n")) << end.name;
    agent.write(
        "{\"cmd\":\"key\",\"code\":\"KeyZ\",\"action\":\"down\"}\n"
        "{\"cmd\":\"key\",\"code\":\"ShiftRight\",\"action\":\"down\"}\n"
        "{\"cmd\":\"down\",\"x\":50,\"y\":60,\"button\":\"middle\"}\n");
    ASSERT_TRUE(waitForReceiverLine(
        receiver, from, [](const std::string& l) { return l.rfind("button 274 1", 0) == 0; }, 5000))
        << end.name;
    agent.write(end.input);
    if (end.signal != 0) kill(agent.pid(), end.signal);
    const ProcessResult result = end.signal != 0 ? agent.waitForExit() : agent.finish();
    EXPECT_EQ(result.exitStatus, 0) << end.name;
    for (const char* release : {"key 44 0 -", "key 54 0 -", "mods -"}) {
      EXPECT_TRUE(waitForReceiverLine(
          receiver, from, [&](const std::string& l) { return l == release; }, 5000))
          << end.name << ": " << release;
    }
    EXPECT_TRUE(waitForReceiverLine(
        receiver, from, [](const std::string& l) { return l.rfind("button 274 0", 0) == 0; }, 5000))
        << end.name;
  }
}
