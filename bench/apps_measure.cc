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
//   apps_measure AGENT PAGE_URL RUNS
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

std::vector<std::string> split(const std::string& utf8) {
  std::vector<std::string> result;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    result.push_back(utf8.substr(i, length));
    i += length;
  }
  return result;
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
    const std::size_t now = split(value).size();
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
          value == expected, wrongCharacters(split(value), characters), keyedDowns};
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: apps_measure AGENT PAGE_URL RUNS\n");
    return 2;
  }
  const std::string agent = argv[1];
  const int runs = std::max(1, std::atoi(argv[3]));
  Xvfb server(1024, 768);
  if (!server.available()) return 1;
  Chromium browser(server.display(), argv[2], 800, 600);
  if (!browser.available()) return 1;
  // Chromium may drop the first keys after it starts: the runs begin once it has typed one.
  for (int i = 0; i < 20; ++i) {
    typeOnce(browser, Subject::kAgent, agent, server.display(), {"x"});
    if (browser.evaluate("text.value") == "x") break;
  }
  const bool withXdotool = access(kXdotool, X_OK) == 0;

  const std::vector<std::string> accented = split("àáâãäåæçèéêëìíîïðñòóôõöøùúûüýþÿāăąćĉċčďđēĕ");
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
