// Cases that every Wayland route's end-to-end tests run the same way (wlroots under sway, KDE,
// GNOME), each against the route's own receiver, whose lines read "key <code> <1|0> <text>",
// "mods <state>" and "button <code> <1|0> ...".
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <vector>

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

// A flood of motion, far more than the agent reads at once so that the next lines wait on
// standard input, with a click in the middle: coalesced, ending on the last position, and the
// click lands where its own line put the pointer. `run` returns the receiver's "motion" and
// "button" lines.
template <typename Run>
void expectFloodCoalescedToTheLastPosition(Run&& run) {
  constexpr int kMoves = 60000;
  std::string input;
  for (int i = 0; i < kMoves; ++i) {
    input += "M " + std::to_string(100 + i % 1000) + " " + std::to_string(100 + i / 1000) + "\n";
    if (i == kMoves / 2)
      input += "{\"cmd\":\"down\",\"x\":7,\"y\":8}\n{\"cmd\":\"up\",\"x\":7,\"y\":8}\n";
  }
  input += "M 1000 700\n";
  const std::vector<std::string> lines = withoutTimes(run(input));
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines.back(), "motion 1000 700");
  const auto press = std::find(lines.begin(), lines.end(), "button 272 1");
  ASSERT_NE(press, lines.end());
  ASSERT_NE(press, lines.begin());
  EXPECT_EQ(*(press - 1), "motion 7 8");
  ASSERT_NE(press + 1, lines.end());
  EXPECT_EQ(*(press + 1), "button 272 0");
  EXPECT_LT(lines.size(), static_cast<std::size_t>(kMoves / 2));
}

// Two clicks at one spot in one burst, as a controller forwards a person's quick double click,
// written to an agent that runs on (as a controller's does): the second press carries a later
// time than the first, which toolkits need to count a double click (on wlroots the agent sets
// the times; KWin and mutter stamp their own, and the agent spaces the presses). A fresh agent's
// first events are left out: mutter 43 handed the first ones of a new remote desktop session on
// late and together, at one time.
inline void expectBurstPressesAtTwoTimes(RunningProcess& receiver,
                                         const ProcessOptions& agentOptions) {
  const std::string click =
      "{\"cmd\":\"down\",\"x\":300,\"y\":200}\n{\"cmd\":\"up\",\"x\":300,\"y\":200}\n";
  const auto released = [](const std::string& l) { return l.rfind("button 272 0", 0) == 0; };
  RunningProcess agent({AGENT}, agentOptions);
  ASSERT_TRUE(agent.waitForOut("READY\n"));
  std::size_t from = receiver.out().size();
  agent.write(click);
  ASSERT_TRUE(waitForReceiverLine(receiver, from, released, 5000));
  for (int burst = 0; burst < 3; ++burst) {
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    from = receiver.out().size();
    agent.write(click + click);
    std::vector<std::string> lines;
    std::vector<std::uint32_t> presses;
    for (int tries = 0; tries < 500 && presses.size() < 2; ++tries) {
      receiver.waitForOut("\x01 (collects for a while)", 10);
      lines = receiverLinesSince(receiver.out(), from);
      presses.clear();
      for (const std::string& line : lines) {
        if (line.starts_with("button 272 1 t=")) {
          presses.push_back(static_cast<std::uint32_t>(std::stoul(line.substr(15))));
        }
      }
    }
    ASSERT_EQ(presses.size(), 2u) << testing::PrintToString(lines);
    EXPECT_GT(static_cast<std::int32_t>(presses[1] - presses[0]), 0)
        << "burst " << burst << ": " << testing::PrintToString(lines);
  }
  EXPECT_EQ(agent.finish().exitStatus, 0);
}

// What `input-agent --probe --json` says with these options: its exit status and its object.
struct Probe {
  int status = -1;
  nlohmann::json found;
};
inline Probe probeWith(const ProcessOptions& options) {
  const ProcessResult result = runProcess({AGENT, "--probe", "--json"}, "", options);
  Probe probe;
  probe.status = result.exitStatus;
  probe.found = nlohmann::json::parse(result.out, nullptr, false);
  EXPECT_FALSE(probe.found.is_discarded()) << result.out;
  EXPECT_EQ(result.err, "");
  return probe;
}
// The reason the probe gives for passing over `route`, or "" when it was taken or not tried.
inline std::string probeReason(const Probe& probe, std::string_view route) {
  if (!probe.found.contains("tried")) return "";
  for (const auto& tried : probe.found["tried"]) {
    if (tried.value("route", "") == route) return tried.value("reason", "");
  }
  return "";
}

// Chord cases that every Wayland route's receiver shows alike: its "key" and "mods" lines in
// order, each modifier pressed once.
struct ChordCase {
  const char* input;
  std::vector<std::string> expected;
};
inline std::vector<ChordCase> sharedChordCases() {
  return {
      {R"({"cmd":"key","code":"KeyA","shift":true})",
       {"key 42 1 -", "mods Shift", "key 30 1 A", "key 30 0 -", "key 42 0 -", "mods -"}},
      // A modifier that the controller holds is not pressed again.
      {R"({"cmd":"key","code":"ShiftLeft","action":"down"})"
       "\n"
       R"({"cmd":"key","code":"Digit1","shift":true,"ctrl":true})"
       "\n"
       R"({"cmd":"key","code":"ShiftLeft","action":"up"})",
       {"key 42 1 -", "mods Shift", "key 29 1 -", "mods Shift+Control", "key 2 1 !", "key 2 0 -",
        "key 29 0 -", "mods Shift", "key 42 0 -", "mods -"}},
      // A chord split over two lines, as a controller forwarding a person's keys sends it, has
      // the shape of a tap: the modifier stays held until the key's up.
      {R"({"cmd":"key","code":"KeyC","meta":true,"action":"down"})"
       "\n"
       R"({"cmd":"key","code":"KeyC","meta":true,"action":"up"})",
       {"key 125 1 -", "mods Mod4", "key 46 1 c", "key 46 0 -", "key 125 0 -", "mods -"}},
      {R"({"cmd":"key","code":"KeyV","ctrl":true,"action":"down"})"
       "\n"
       R"({"cmd":"key","code":"KeyV","ctrl":true,"action":"up"})",
       {"key 29 1 -", "mods Control", "key 47 1 U+16", "key 47 0 -", "key 29 0 -", "mods -"}},
      {R"({"cmd":"shortcut","shortcut":"copy"})",
       {"key 29 1 -", "mods Control", "key 46 1 U+03", "key 46 0 -", "key 29 0 -", "mods -"}},
      {R"({"cmd":"shortcut","shortcut":"ctrl_alt_del"})",
       {"key 29 1 -", "mods Control", "key 56 1 -", "mods Control+Mod1", "key 111 1 U+7F",
        "key 111 0 -", "key 56 0 -", "mods Control", "key 29 0 -", "mods -"}},
  };
}

// One key command for every key name, and the press and release of its Linux key that each
// brings, except the Linux keys that `skipped` names.
struct EveryKeyName {
  std::string input;
  std::vector<std::string> expected;
};
inline EveryKeyName everyKeyName(const std::vector<std::uint32_t>& skipped = {}) {
  EveryKeyName run;
  for (const PhysicalKey& key : kPhysicalKeys) {
    if (std::find(skipped.begin(), skipped.end(), key.linuxCode) != skipped.end()) continue;
    run.input += "{\"cmd\":\"key\",\"code\":\"" + std::string(key.name) + "\"}\n";
    run.expected.push_back("key " + std::to_string(key.linuxCode) + " 1");
    run.expected.push_back("key " + std::to_string(key.linuxCode) + " 0");
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
