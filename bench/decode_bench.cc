// The cost of decoding one JSON command line into an InputCommand, for typical command lines and
// one with a large member of another name, with the UTF-8 check that comes before it. The
// simdjson rows (when simdjson is found) parse the same lines into its DOM and walk the
// top-level members, as a reference. Run with --benchmark_repetitions=5
// --benchmark_report_aggregates_only=true and read the medians.
#include <benchmark/benchmark.h>

#include <string>
#include <string_view>

#include "command/json_decoder.h"
#include "command/utf8_repair.h"

#ifdef HAVE_SIMDJSON
#include <simdjson.h>
#endif

namespace {

const std::string kMove = R"({"cmd":"move","x":640,"y":360})";
const std::string kDown = R"({"cmd":"down","x":640.5,"y":360,"button":"left"})";
const std::string kKey = R"({"cmd":"key","code":"KeyC","action":"tap","meta":true,"shift":true})";
const std::string kWheel = R"({"cmd":"wheel","dx":0,"dy":-120})";

// About 9 KB: a member the decoder skips, holding objects, arrays, strings and numbers.
std::string largeUnknownMember() {
  std::string line = R"({"cmd":"move","x":640,"y":360,"context":[)";
  for (int i = 0; i < 100; ++i) {
    if (i > 0) line += ',';
    line += R"({"id":)" + std::to_string(i) + R"(,"name":"element \u00e9 )" + std::to_string(i) +
            R"(","rect":[10.5,20,300,-4e2],"visible":true,"tags":null})";
  }
  line += "]}";
  return line;
}
const std::string kLarge = largeUnknownMember();

void decode(benchmark::State& state, const std::string& line) {
  JsonDecoder decoder;
  for (auto _ : state) {
    auto record = decoder.decode(line);
    benchmark::DoNotOptimize(record);
  }
  state.SetItemsProcessed(state.iterations());
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(line.size()));
}

void repairValid(benchmark::State& state, const std::string& line) {
  std::string storage;
  for (auto _ : state) {
    auto text = repairUtf8(line, storage);
    benchmark::DoNotOptimize(text);
  }
  state.SetItemsProcessed(state.iterations());
}

#ifdef HAVE_SIMDJSON
void simdjsonDom(benchmark::State& state, const std::string& line) {
  simdjson::dom::parser parser;
  const simdjson::padded_string padded(line);
  for (auto _ : state) {
    simdjson::dom::object object;
    if (parser.parse(padded).get_object().get(object) != simdjson::SUCCESS) {
      state.SkipWithError("simdjson failed");
      break;
    }
    std::size_t members = 0;
    for (auto field : object) {
      members += field.key.size() + static_cast<std::size_t>(field.value.type());
    }
    benchmark::DoNotOptimize(members);
  }
  state.SetItemsProcessed(state.iterations());
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(line.size()));
}
#endif

}  // namespace

BENCHMARK_CAPTURE(decode, move, kMove);
BENCHMARK_CAPTURE(decode, down, kDown);
BENCHMARK_CAPTURE(decode, key_modifiers, kKey);
BENCHMARK_CAPTURE(decode, wheel, kWheel);
BENCHMARK_CAPTURE(decode, large_unknown_member, kLarge);
BENCHMARK_CAPTURE(repairValid, key_modifiers, kKey);
BENCHMARK_CAPTURE(repairValid, large_unknown_member, kLarge);
#ifdef HAVE_SIMDJSON
BENCHMARK_CAPTURE(simdjsonDom, move, kMove);
BENCHMARK_CAPTURE(simdjsonDom, down, kDown);
BENCHMARK_CAPTURE(simdjsonDom, key_modifiers, kKey);
BENCHMARK_CAPTURE(simdjsonDom, wheel, kWheel);
BENCHMARK_CAPTURE(simdjsonDom, large_unknown_member, kLarge);
#endif

BENCHMARK_MAIN();
