#include "apps/forwarded_session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <fstream>
#include <set>
#include <sstream>
#include <thread>

#include "support/eventually.h"

namespace {

using namespace std::chrono_literals;
using nlohmann::json;

struct Point {
  double x = 0, y = 0;
};

// The line with its point moved by `by` (a page point becomes a screen point).
std::string shifted(const std::string& line, Point by) {
  if (line.starts_with("M ")) {
    std::istringstream in(line.substr(2));
    Point p;
    in >> p.x >> p.y;
    std::ostringstream out;
    out << "M " << p.x + by.x << ' ' << p.y + by.y;
    return out.str();
  }
  if (!line.starts_with("{")) return line;
  json command = json::parse(line);
  if (command.contains("x")) command["x"] = command["x"].get<double>() + by.x;
  if (command.contains("y")) command["y"] = command["y"].get<double>() + by.y;
  return command.dump();
}

// What a session made on the page, in the terms it is compared in.
struct Outcome {
  std::vector<std::string> keys;     // "keydown KeyA A" for each event that is no repeat
  std::string text;                  // held keys' runs of characters as one
  std::vector<std::string> buttons;  // "mousedown 0 1": type, button, detail
  std::vector<Point> presses;        // of each mousedown and mouseup
  std::vector<std::string> wheel;    // "dy+" for each run of wheel events (below)
  int repeats = 0;                   // keydowns with repeat true
};

// A run of one character (repeated by the receiver) as one.
std::string collapsed(const std::string& text, const std::set<char>& held) {
  std::string out;
  for (const char c : text) {
    if (!out.empty() && out.back() == c && held.contains(c)) continue;
    out += c;
  }
  return out;
}

std::string sign(double value) { return value > 0 ? "+" : "-"; }

// A run of wheel events is every one between two other events: a receiver may merge wheel
// events that come together, adding their deltas, so what is compared is the direction of each
// run's sum on each axis ("dx- dy+"; "0" for a run that goes nowhere). Two runs in a row that go
// the same way count as one: Chromium hands wheel events to the page through a queue of their
// own that waits for the page's answer to the one before, so in a burst a notch can reach the
// page after a click the agent posted later (seen on Debian 13, notches then a click then a
// notch), and the order of notches among themselves is what the agent controls.
struct WheelRun {
  double sum[2] = {0, 0};
  bool open = false;

  void add(const json& event) {
    sum[0] += event["dx"].get<double>();
    sum[1] += event["dy"].get<double>();
    open = true;
  }
  void close(std::vector<std::string>& runs) {
    if (!open) return;
    std::string run;
    if (sum[0] != 0) run += std::string("dx") + sign(sum[0]);
    if (sum[1] != 0) run += std::string(run.empty() ? "" : " ") + "dy" + sign(sum[1]);
    if (run.empty()) run = "0";
    if (runs.empty() || runs.back() != run) runs.push_back(run);
    *this = {};
  }
};

Outcome outcomeOf(const json& events, const std::string& text, const std::set<char>& held) {
  Outcome outcome;
  outcome.text = collapsed(text, held);
  WheelRun wheel;
  for (const json& event : events) {
    const std::string type = event["type"];
    if (type == "wheel") {
      wheel.add(event);
      continue;
    }
    wheel.close(outcome.wheel);
    if (type == "keydown" || type == "keyup") {
      if (event["repeat"].get<bool>()) {
        ++outcome.repeats;
        continue;
      }
      outcome.keys.push_back(type + " " + event["code"].get<std::string>() + " " +
                             event["key"].get<std::string>());
    } else {
      outcome.buttons.push_back(type + " " + std::to_string(event["button"].get<int>()) + " " +
                                std::to_string(event["detail"].get<int>()));
      if (type == "mousedown" || type == "mouseup") {
        outcome.presses.push_back({event["x"].get<double>(), event["y"].get<double>()});
      }
    }
  }
  wheel.close(outcome.wheel);
  return outcome;
}

// The characters of the keys the session holds long enough to repeat (more than one down in a
// row for one code).
std::set<char> heldCharacters(const std::vector<ForwardedLine>& session) {
  std::set<char> held;
  std::set<std::string> down;
  for (const ForwardedLine& line : session) {
    if (!line.line.starts_with("{")) continue;
    const json command = json::parse(line.line);
    if (command["cmd"] != "key" || !command.contains("code")) continue;
    const std::string code = command["code"];
    if (command["action"] == "up") {
      down.erase(code);
    } else if (!down.insert(code).second && command.value("key", "").size() == 1) {
      held.insert(command["key"].get<std::string>()[0]);
    }
  }
  return held;
}

// Every key is released before it is pressed again: a key forwarded while held must arrive as
// one press and the receiver's repeats.
void expectNoSecondPress(const std::vector<std::string>& keys) {
  std::set<std::string> down;
  for (const std::string& key : keys) {
    const std::size_t from = key.find(' ') + 1;
    const std::string code = key.substr(from, key.find(' ', from) - from);
    if (key.starts_with("keydown ")) {
      if (!down.insert(code).second) {
        ADD_FAILURE() << "a second press of " << code << " before its release";
        return;
      }
    } else {
      down.erase(code);
    }
  }
}

// Where the page's point (0, 0) is on the screen: the agent moves the pointer to two screen
// points over the page, 10 px apart, and the page reports its own point for each. A receiver may
// miss the first motion (Debian 13's Chromium on sway does, the one that brings the pointer into
// its window), so the pair is tried again until the page's two points are 10 px apart too.
Point pageOrigin(Chromium& browser, const ProcessOptions& agentOptions) {
  const auto moveTo = [&](int x, int y) -> json {
    browser.evaluate("lastMove = null");
    runProcess({AGENT}, "M " + std::to_string(x) + " " + std::to_string(y) + "\n", agentOptions);
    json move;
    eventually([&] { return (move = browser.evaluate("lastMove")).is_array(); }, 1s);
    return move;
  };
  for (int attempt = 0; attempt < 10; ++attempt) {
    const json first = moveTo(400, 300);
    const json second = moveTo(410, 310);
    if (!first.is_array() || !second.is_array()) continue;
    if (second[0].get<double>() - first[0].get<double>() != 10 ||
        second[1].get<double>() - first[1].get<double>() != 10) {
      continue;
    }
    return {410 - second[0].get<double>(), 310 - second[1].get<double>()};
  }
  ADD_FAILURE() << "no mousemove over the page where the pointer went";
  return {};
}

json readJson(const std::string& path) {
  std::ifstream in(path);
  return json::parse(in);
}

}  // namespace

std::vector<ForwardedLine> forwardedSession() {
  std::ifstream in(APPS_DIR "/forwarded_session.txt");
  std::vector<ForwardedLine> session;
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line.starts_with("#")) continue;
    const std::size_t space = line.find(' ');
    session.push_back({std::stod(line.substr(0, space)), line.substr(space + 1)});
  }
  return session;
}

void replayAndCompare(Chromium& browser, const ProcessOptions& agentOptions, Pace pace) {
  const std::vector<ForwardedLine> session = forwardedSession();
  ASSERT_FALSE(session.empty());
  const json reference = readJson(APPS_DIR "/forwarded_session_reference.json");
  const std::set<char> held = heldCharacters(session);
  const Outcome expected = outcomeOf(reference["events"], reference["text"], held);

  const Point origin = pageOrigin(browser, agentOptions);
  ASSERT_EQ(browser.evaluate("events.length = 0; text.value = ''; text.focus(); true"), true);

  RunningProcess agent({AGENT}, agentOptions);
  double lateMs = 0;  // how much later than due the paced writes were done, at most
  ASSERT_TRUE(agent.waitForOut("READY\n"));
  if (pace == Pace::kAllAtOnce) {
    std::string all;
    for (const ForwardedLine& line : session) all += shifted(line.line, origin) + "\n";
    ASSERT_TRUE(agent.write(all));
  } else {
    const auto start = std::chrono::steady_clock::now();
    for (const ForwardedLine& line : session) {
      const auto due = start + std::chrono::microseconds(static_cast<std::int64_t>(line.ms * 1000));
      std::this_thread::sleep_until(due);
      ASSERT_TRUE(agent.write(shifted(line.line, origin) + "\n"));
      lateMs = std::max(
          lateMs, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - due)
                      .count());
    }
  }
  EXPECT_EQ(agent.finish().exitStatus, 0);

  // Everything has arrived once the last key and button events have; a little more for any
  // straggler that should not be there.
  Outcome actual;
  eventually([&] {
    actual = outcomeOf(browser.evaluate("events"), browser.evaluate("text.value"), held);
    return actual.keys.size() >= expected.keys.size() &&
           actual.buttons.size() >= expected.buttons.size() &&
           actual.wheel.size() >= expected.wheel.size();
  });
  std::this_thread::sleep_for(300ms);
  // A key the receiver repeated in this replay (a hold stretched by a busy machine) is held
  // too: its run of characters counts as one in both texts.
  std::set<char> repeated = held;
  const json events = browser.evaluate("events");
  for (const json& event : events) {
    if (event["type"] == "keydown" && event["repeat"] == true && event["key"].size() == 1) {
      repeated.insert(event["key"].get<std::string>()[0]);
    }
  }
  actual = outcomeOf(events, browser.evaluate("text.value"), repeated);
  const std::string expectedText = outcomeOf(reference["events"], reference["text"], repeated).text;

  EXPECT_EQ(actual.keys, expected.keys);
  expectNoSecondPress(actual.keys);
  EXPECT_EQ(actual.text, expectedText)
      << "as typed: " << browser.evaluate("text.value") << "; the replay's writes were up to "
      << lateMs << " ms late";
  EXPECT_EQ(actual.buttons, expected.buttons);
  ASSERT_EQ(actual.presses.size(), expected.presses.size());
  for (std::size_t i = 0; i < expected.presses.size(); ++i) {
    EXPECT_NEAR(actual.presses[i].x, expected.presses[i].x, 1) << "press or release " << i;
    EXPECT_NEAR(actual.presses[i].y, expected.presses[i].y, 1) << "press or release " << i;
  }
  EXPECT_EQ(actual.wheel, expected.wheel);
  // At the person's pace the held key is repeated by the receiver itself.
  if (pace == Pace::kPersons && expected.repeats > 0) {
    EXPECT_GT(actual.repeats, 0);
  }
}

std::vector<std::string> deadKeySessionLines(Chromium& client) {
  const nlohmann::json forwarded = client.evaluate(R"((() => {
      const key = (type, code, key, more = {}) => text.dispatchEvent(
          new KeyboardEvent(type, { code, key, bubbles: true, cancelable: true, ...more }));
      const composed = data => text.dispatchEvent(new CompositionEvent("compositionend", { data }));
      text.focus();
      forwardedLines.length = 0;
      // é: dead acute, then e.
      key("keydown", "Quote", "Process");
      text.dispatchEvent(new CompositionEvent("compositionstart", { data: "" }));
      key("keyup", "Quote", "Dead", { isComposing: true });
      key("keydown", "KeyE", "Process", { isComposing: true });
      composed("é");
      key("keyup", "KeyE", "e");
      // é with AltGr.
      key("keydown", "", "AltGraph", { modifierAltGraph: true });
      key("keydown", "KeyE", "é", { modifierAltGraph: true });
      key("keyup", "KeyE", "é", { modifierAltGraph: true });
      key("keyup", "", "AltGraph");
      // ü: Shift and the dead diaeresis, Shift's keyup lost, then u.
      key("keydown", "ShiftLeft", "Shift", { shiftKey: true });
      key("keydown", "Quote", "Process", { shiftKey: true });
      text.dispatchEvent(new CompositionEvent("compositionstart", { data: "" }));
      key("keyup", "Quote", "Dead", { shiftKey: true, isComposing: true });
      key("keydown", "KeyU", "Process", { isComposing: true });
      composed("ü");
      key("keyup", "KeyU", "u");
      key("keydown", "KeyX", "x");
      key("keyup", "KeyX", "x");
      return forwardedLines;
    })())");
  std::vector<std::string> lines;
  if (!forwarded.is_array()) return lines;
  for (const auto& line : forwarded) lines.push_back(line.get<std::string>());
  return lines;
}
