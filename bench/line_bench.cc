// The agent's own cost per line: everything the command loop does between reading a line and
// reading the next (handleLine, then deliverPostedEvents), linked with the platform
// implementation that posts nothing. One injector and one decoder serve every iteration, as in
// the agent. Run with --benchmark_repetitions=5 --benchmark_report_aggregates_only=true and
// read the medians.
#include <benchmark/benchmark.h>

#include <string_view>

#include "command/handle_line.h"
#include "command/json_decoder.h"
#include "injector/input_injector.h"
#include "platform/deliver.h"

namespace {

InputInjector& theInjector() {
  static InputInjector injector;
  return injector;
}

JsonDecoder& theDecoder() {
  static JsonDecoder decoder;
  return decoder;
}

void handleOneLine(benchmark::State& state, std::string_view line) {
  InputInjector& injector = theInjector();
  JsonDecoder& decoder = theDecoder();
  for (auto _ : state) {
    // DoNotOptimize takes a modifiable value: its const form is deprecated in Google Benchmark
    // 1.8 (Debian 13), and both forms are in 1.7 (Debian 12).
    const char* data = line.data();
    benchmark::DoNotOptimize(data);
    LineOutcome outcome = handleLine(line, injector, decoder);
    deliverPostedEvents();
    benchmark::DoNotOptimize(outcome);
  }
  state.SetItemsProcessed(state.iterations());
}

}  // namespace

BENCHMARK_CAPTURE(handleOneLine, fast_move, std::string_view("M 640 360"));
BENCHMARK_CAPTURE(handleOneLine, fast_wheel, std::string_view("W 0 120"));
BENCHMARK_CAPTURE(handleOneLine, json_move, std::string_view(R"({"cmd":"move","x":640,"y":360})"));
BENCHMARK_CAPTURE(handleOneLine, json_key_modifiers,
                  std::string_view(R"({"cmd":"key","code":"KeyC","meta":true,"shift":true})"));
BENCHMARK_CAPTURE(handleOneLine, json_key_unicode,
                  std::string_view(R"({"cmd":"key","code":"KeyE","key":"\u00e9"})"));
BENCHMARK_CAPTURE(handleOneLine, json_key_unicode_utf8,
                  std::string_view("{\"cmd\":\"key\",\"key\":\"\xc3\xa9\"}"));
BENCHMARK_CAPTURE(handleOneLine, undecodable, std::string_view(R"({"cmd":"move","x":640,"y":360)"));

BENCHMARK_MAIN();
