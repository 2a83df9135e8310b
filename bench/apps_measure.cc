// What bench/apps reports: input-agent typing into Chromium on a private Xvfb, read back over
// DevTools. For each workload, the characters per second from the agent's start until the text
// area holds the whole text, and from its 20th character to its last ("steady", past the first
// bindings of the spare keycodes), medians of the runs, and whether every run arrived exactly;
// then what Chromium records for a double click and for a Shift chord.
//
//   apps_measure AGENT PAGE_URL RUNS
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
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
};

constexpr std::size_t kSteadyFrom = 20;

Run typeOnce(Chromium& browser, const std::string& agent, const std::string& display,
             const std::vector<std::string>& characters) {
  browser.evaluate("text.value = ''; text.focus(); true");
  std::string expected;
  for (const std::string& c : characters) expected += c;
  ProcessOptions options;
  options.setEnv = {{"DISPLAY", display}};
  const auto start = Clock::now();
  RunningProcess process({agent}, options);
  process.write(keyLines(characters));
  std::string value;
  const auto deadline = start + std::chrono::seconds(60);
  Clock::time_point steadyStart{};
  // Done when the text area holds as many characters as were typed.
  while (Clock::now() < deadline) {
    value = browser.evaluate("text.value").get<std::string>();
    const std::size_t count = split(value).size();
    if (count >= kSteadyFrom && steadyStart == Clock::time_point{}) steadyStart = Clock::now();
    if (count >= characters.size()) break;
  }
  const auto end = Clock::now();
  process.finish();
  const double seconds = std::chrono::duration<double>(end - start).count();
  const double steadySeconds = std::chrono::duration<double>(end - steadyStart).count();
  return {static_cast<double>(characters.size()) / seconds,
          static_cast<double>(characters.size() - kSteadyFrom) / steadySeconds, value == expected};
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

  const std::vector<std::string> accented = split("àáâãäåæçèéêëìíîïðñòóôõöøùúûüýþÿāăąćĉċčďđēĕ");
  std::vector<std::string> distinct, repeated;
  for (int i = 0; i < 200; ++i) {
    distinct.push_back(accented[static_cast<std::size_t>(i) % accented.size()]);
    repeated.push_back("é");
  }
  // Repeated characters arrive faster than the text area can be polled: no steady figure.
  const struct {
    const char* name;
    const std::vector<std::string>& characters;
    bool steady;
  } workloads[] = {{"200 distinct (40 letters cycled)", distinct, true},
                   {"200 repeated (é)", repeated, false}};
  std::printf("| workload | chars/s from start | steady | runs exact |\n|---|---|---|---|\n");
  for (const auto& workload : workloads) {
    std::vector<double> rates, steady;
    int exact = 0;
    for (int r = 0; r < runs; ++r) {
      const Run run = typeOnce(browser, agent, server.display(), workload.characters);
      rates.push_back(run.perSecond);
      steady.push_back(run.steadyPerSecond);
      exact += run.exact ? 1 : 0;
    }
    std::sort(rates.begin(), rates.end());
    std::sort(steady.begin(), steady.end());
    const std::string steadyText =
        workload.steady ? std::to_string(std::lround(steady[steady.size() / 2])) : "-";
    std::printf("| %s | %.0f | %s | %d of %d |\n", workload.name, rates[rates.size() / 2],
                steadyText.c_str(), exact, runs);
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
