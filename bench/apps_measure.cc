// What bench/apps reports: input-agent typing into Chromium on a private Xvfb, read back over
// DevTools, and `xdotool type` (default delay) typing the same text as a peer, the two taking
// turns. For each workload and subject, the characters per second from the subject's start
// until the last character arrived, and from the 20th character to the last ("steady", past the
// first bindings of the spare keycodes), medians of the runs; how many runs arrived exactly; the
// most characters one run got wrong (missing, extra or other than typed); and the most keydowns
// of one run that carried a key's code (KeyboardEvent.code), which a typed
// character should never have. Then what Chromium records for a double click and for a Shift
// chord.
//
// With WTYPE (the peer's executable), then the same into Chromium natively on Wayland under a
// private headless sway: 200 distinct CJK characters typed by the agent (one JSON line each) and
// by wtype (the text as its argument), taking turns; for each the characters per second from its
// start until the last character that arrived, how many arrived (median), the runs that arrived
// exactly, and the runs in which the page was loaded again.
//
//   apps_measure AGENT PAGE_URL RUNS [WTYPE]
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "apps/chromium.h"
#include "support/run_process.h"
#include "support/sway_session.h"
#include "support/utf8_scalars.h"
#include "support/xvfb.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string keyLines(const std::vector<std::string>& characters) {
  std::string lines = "M 300 100\n";
  for (const std::string& c : characters) {
    lines += nlohmann::json{{"cmd", "key"}, {"key", c}}.dump() + "\n";
  }
  return lines;
}

struct Run {
  double perSecond;
  double steadyPerSecond;
  bool exact;
  std::size_t wrong;  // characters missing, extra or other than typed
  int keyedDowns;     // keydowns that carried a key's code
};

constexpr std::size_t kSteadyFrom = 20;
constexpr char kXdotool[] = "/usr/bin/xdotool";

// How many characters of the text are missing, extra or other than typed: the edit distance
// between the two.
std::size_t wrongCharacters(const std::vector<std::string>& got,
                            const std::vector<std::string>& typed) {
  std::vector<std::size_t> row(typed.size() + 1), next(typed.size() + 1);
  for (std::size_t j = 0; j <= typed.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= got.size(); ++i) {
    next[0] = i;
    for (std::size_t j = 1; j <= typed.size(); ++j) {
      next[j] = std::min({row[j] + 1, next[j - 1] + 1, row[j - 1] + (got[i - 1] != typed[j - 1])});
    }
    std::swap(row, next);
  }
  return row[typed.size()];
}

// A subject types the characters: the agent from "key" lines on its standard input, or
// xdotool from its arguments.
enum class Subject { kAgent, kXdotool };

Run typeOnce(Chromium& browser, Subject subject, const std::string& agent,
             const std::string& display, const std::vector<std::string>& characters) {
  ProcessOptions options;
  options.setEnv = {{"DISPLAY", display}};
  std::string expected;
  for (const std::string& c : characters) expected += c;
  // X gives the keyboard to the window under the pointer.
  if (subject == Subject::kXdotool) runProcess({kXdotool, "mousemove", "300", "100"}, "", options);
  browser.evaluate("log.length = 0; text.value = ''; text.focus(); true");
  const auto start = Clock::now();
  std::unique_ptr<RunningProcess> process;
  if (subject == Subject::kAgent) {
    process = std::make_unique<RunningProcess>(std::vector<std::string>{agent}, options);
    process->write(keyLines(characters));
  } else {
    process = std::make_unique<RunningProcess>(
        std::vector<std::string>{kXdotool, "type", "--", expected}, options);
  }
  std::string value;
  std::size_t count = 0;
  const auto deadline = start + std::chrono::seconds(60);
  Clock::time_point steadyStart{}, lastChange = start;
  // Done when the text area holds as many characters as were typed, or has not changed for
  // two seconds (a subject that lost some).
  while (Clock::now() < deadline && Clock::now() < lastChange + std::chrono::seconds(2)) {
    value = browser.evaluate("text.value").get<std::string>();
    const std::size_t now = utf8Scalars(value).size();
    if (now != count) lastChange = Clock::now();
    count = now;
    if (count >= kSteadyFrom && steadyStart == Clock::time_point{}) steadyStart = Clock::now();
    if (count >= characters.size()) break;
  }
  process->finish(60000);
  const double seconds = std::chrono::duration<double>(lastChange - start).count();
  const double steadySeconds = std::chrono::duration<double>(lastChange - steadyStart).count();
  const int keyedDowns =
      browser
          .evaluate(
              "log.filter(e => e.startsWith('keydown ') && !e.startsWith('keydown  '))"
              ".length")
          .get<int>();
  return {static_cast<double>(count) / seconds,
          count > kSteadyFrom ? static_cast<double>(count - kSteadyFrom) / steadySeconds : 0,
          value == expected, wrongCharacters(utf8Scalars(value), characters), keyedDowns};
}

template <typename T>
T median(std::vector<T> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// The X11 rows: Chromium on a private Xvfb.
int measureOnX11(const std::string& agent, const std::string& url, int runs) {
  Xvfb server(1024, 768);
  if (!server.available()) return 1;
  Chromium browser(server.display(), url, 800, 600);
  if (!browser.available()) return 1;
  // Chromium may drop the first keys after it starts: the runs begin once it has typed one.
  for (int i = 0; i < 20; ++i) {
    typeOnce(browser, Subject::kAgent, agent, server.display(), {"x"});
    if (browser.evaluate("text.value") == "x") break;
  }
  const bool withXdotool = access(kXdotool, X_OK) == 0;

  const std::vector<std::string> accented =
      utf8Scalars("àáâãäåæçèéêëìíîïðñòóôõöøùúûüýþÿāăąćĉċčďđēĕ");
  std::vector<std::string> cjk, distinct, repeated;
  for (char32_t c = U'\u4E00'; c < U'\u4E00' + 300; ++c) {
    cjk.push_back({static_cast<char>(0xE0 | (c >> 12)), static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
                   static_cast<char>(0x80 | (c & 0x3F))});
  }
  for (int i = 0; i < 200; ++i) {
    distinct.push_back(accented[static_cast<std::size_t>(i) % accented.size()]);
    repeated.push_back("é");
  }
  // Repeated characters arrive faster than the text area can be polled: no steady figure.
  const struct {
    const char* name;
    const std::vector<std::string>& characters;
    bool steady;
  } workloads[] = {{"300 distinct (CJK, each once)", cjk, true},
                   {"200 distinct (40 letters cycled)", distinct, true},
                   {"200 repeated (é)", repeated, false}};
  std::printf(
      "| workload | subject | chars/s from start | steady | runs exact | wrong characters (worst "
      "run) | keydowns with a code |\n|---|---|---|---|---|---|---|\n");
  for (const auto& workload : workloads) {
    // The subjects take turns, run after run.
    std::vector<Subject> subjects = {Subject::kAgent};
    if (withXdotool) subjects.push_back(Subject::kXdotool);
    std::vector<std::vector<Run>> results(subjects.size());
    for (int r = 0; r < runs; ++r) {
      for (std::size_t s = 0; s < subjects.size(); ++s) {
        results[s].push_back(
            typeOnce(browser, subjects[s], agent, server.display(), workload.characters));
      }
    }
    for (std::size_t s = 0; s < subjects.size(); ++s) {
      std::vector<double> rates, steady;
      int exact = 0, keyed = 0;
      std::size_t wrong = 0;
      for (const Run& run : results[s]) {
        rates.push_back(run.perSecond);
        steady.push_back(run.steadyPerSecond);
        exact += run.exact ? 1 : 0;
        keyed = std::max(keyed, run.keyedDowns);
        wrong = std::max(wrong, run.wrong);
      }
      const std::string steadyText =
          workload.steady ? std::to_string(std::lround(median(steady))) : "-";
      std::printf("| %s | %s | %.0f | %s | %d of %d | %zu | %d |\n", workload.name,
                  subjects[s] == Subject::kAgent ? "input-agent" : "xdotool type", median(rates),
                  steadyText.c_str(), exact, runs, wrong, keyed);
    }
  }

  ProcessOptions options;
  options.setEnv = {{"DISPLAY", server.display()}};
  const struct {
    const char* name;
    const char* input;
  } events[] = {
      {"dblclick", "{\"cmd\":\"dblclick\",\"x\":100,\"y\":300}\n"},
      {"Shift chord", "M 300 100\n{\"cmd\":\"key\",\"code\":\"KeyA\",\"shift\":true}\n"},
  };
  for (const auto& e : events) {
    browser.evaluate("log.length = 0; text.focus(); true");
    runProcess({agent}, e.input, options);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    std::printf("%s: %s\n", e.name, browser.evaluate("log").dump().c_str());
  }
  return 0;
}

// One run into Chromium on sway: the rate until the last arrival, whether the text arrived
// exactly, how many characters arrived, and whether the page was loaded again meanwhile.
struct WaylandRun {
  double perSecond;
  bool exact;
  std::size_t arrived;
  bool reloaded = false;
};

// Runs `argv` with `input` on its standard input and `options`, and times the text area
// until it holds as many characters as were typed, or until it has not changed for 2 s (some
// were lost): the figures count every character typed over the time until the last arrival.
WaylandRun typeOnWayland(Chromium& browser, const std::vector<std::string>& argv,
                         const std::string& input, const ProcessOptions& options,
                         const std::vector<std::string>& characters) {
  browser.evaluate("text.value = ''; text.focus(); window.typing = true");
  std::string expected;
  for (const std::string& c : characters) expected += c;
  const auto start = Clock::now();
  RunningProcess process(argv, options);
  process.write(input);
  std::string value;
  std::size_t count = 0;
  const auto deadline = start + std::chrono::seconds(60);
  Clock::time_point lastChange = start;
  while (Clock::now() < deadline && Clock::now() - lastChange < std::chrono::seconds(2)) {
    const nlohmann::json now = browser.evaluate("text.value");
    if (!now.is_string()) continue;
    if (now.get<std::string>() != value) {
      lastChange = Clock::now();
      value = now.get<std::string>();
      count = utf8Scalars(value).size();
    }
    if (count >= characters.size()) break;
  }
  const ProcessResult ended = process.finish();
  if (value != expected) {
    std::fprintf(stderr, "%s: %zu of %zu arrived, [%s]%s%s\n", argv[0].c_str(), count,
                 characters.size(), value.c_str(),
                 ended.err.empty() ? "" : "; it said: ", ended.err.c_str());
  }
  const double seconds = std::chrono::duration<double>(lastChange - start).count();
  const bool reloaded = browser.evaluate("window.typing === true") != true;
  if (count == 0) return {0, false, 0, reloaded};
  return {static_cast<double>(characters.size()) / seconds, value == expected, count, reloaded};
}

// 200 distinct characters, agent against wtype, into Chromium natively on sway.
int measureOnSway(const std::string& agent, const std::string& url, int runs,
                  const std::string& wtype) {
  if (!SwaySession::installed()) {
    std::printf("sway is not installed: no Wayland rows\n");
    return 1;
  }
  SwaySession session;
  if (!session.failure().empty()) {
    std::fprintf(stderr, "sway: %s\n", session.failure().c_str());
    return 1;
  }
  Chromium browser(session.environment(), url, 800, 600, true);
  if (!browser.available()) return 1;
  ProcessOptions options;
  options.setEnv = session.environment();
  options.unsetEnv = {"DISPLAY", "INPUT_AGENT_BACKEND"};
  // Chromium drops the first input after it takes the focus: a letter until one arrives.
  for (int i = 0; i < 100 && browser.evaluate("text.value") == ""; ++i) {
    browser.evaluate("text.focus(); true");
    runProcess({agent}, keyLines({"x"}), options);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  std::vector<std::string> cjk;
  std::string text;
  for (char32_t c = 0x4E00; c < 0x4E00 + 200; ++c) {
    cjk.push_back({static_cast<char>(0xE0 | (c >> 12)), static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
                   static_cast<char>(0x80 | (c & 0x3F))});
    text += cjk.back();
  }
  // wtype as a controller that has one character at a time would run it (one run a character),
  // and with text at once: it binds each new character to the next keycode from 9 on, which
  // Chromium reads as the physical key there (Escape, Digit1, ...): characters on Backspace, Tab,
  // Control and Alt are lost, and the 63rd, on F5, reloads the page and leaves Chromium taking
  // no text for a while.
  // So wtype is also given the first 60 characters at once, and the whole text goes last, once.
  const std::vector<std::string> first60(cjk.begin(), cjk.begin() + 60);
  std::string oneALine, text60;
  for (const std::string& c : cjk) oneALine += c + "\n";
  for (const std::string& c : first60) text60 += c;
  const struct {
    const char* name;
    std::vector<std::string> argv;
    std::string input;
    const std::vector<std::string>& characters;
  } subjects[] = {{"input-agent, JSON lines", {agent}, keyLines(cjk), cjk},
                  {"wtype, one run a character",
                   {"/bin/sh", "-c", "while IFS= read -r c; do \"$0\" \"$c\"; done", wtype},
                   oneALine,
                   cjk},
                  {"wtype, the first 60 as one argument", {wtype, text60}, "", first60},
                  {"wtype, all 200 as one argument", {wtype, text}, "", cjk}};
  constexpr int kSubjects = sizeof subjects / sizeof subjects[0];
  std::vector<WaylandRun> results[kSubjects];
  for (int r = 0; r < runs; ++r) {
    for (int s = 0; s < kSubjects - 1; ++s) {
      const auto& subject = subjects[s];
      results[s].push_back(
          typeOnWayland(browser, subject.argv, subject.input, options, subject.characters));
    }
  }
  const auto& last = subjects[kSubjects - 1];
  results[kSubjects - 1].push_back(typeOnWayland(browser, last.argv, last.input, options, cjk));
  std::printf(
      "\n| Chromium on sway, distinct CJK | chars/s until the last arrived | arrived "
      "(median) | runs exact | page reloaded |\n|---|---|---|---|---|\n");
  for (int s = 0; s < kSubjects; ++s) {
    std::vector<double> rates;
    std::vector<std::size_t> arrived;
    int exact = 0, reloaded = 0;
    for (const WaylandRun& run : results[s]) {
      rates.push_back(run.perSecond);
      arrived.push_back(run.arrived);
      exact += run.exact ? 1 : 0;
      reloaded += run.reloaded ? 1 : 0;
    }
    const double rate = median(rates);
    const std::string rateText = rate > 0 ? std::to_string(std::lround(rate)) : "-";
    std::printf("| %s | %s | %zu of %zu | %d of %zu | %d |\n", subjects[s].name, rateText.c_str(),
                median(arrived), subjects[s].characters.size(), exact, results[s].size(), reloaded);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4 && argc != 5) {
    std::fprintf(stderr, "usage: apps_measure AGENT PAGE_URL RUNS [WTYPE]\n");
    return 2;
  }
  const std::string agent = argv[1];
  const int runs = std::max(1, std::atoi(argv[3]));
  if (measureOnX11(agent, argv[2], runs) != 0) return 1;
  if (argc == 5) return measureOnSway(agent, argv[2], runs, argv[4]);
  return 0;
}
