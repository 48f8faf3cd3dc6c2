// Reading sheet files as large as either front end accepts, in the shapes a hostile file
// takes: long runs of small values under a key the reader knows or does not, nesting, many
// keys. Each should cost one pass over its bytes and next to no memory beside them; run a
// single shape under `/usr/bin/time -v` (--benchmark_filter) for its peak memory.
#include <benchmark/benchmark.h>

#include <cstddef>
#include <string>

#include "bench_support.hpp"
#include "command/user_file.hpp"
#include "sheet/sheet_file.hpp"

namespace {

using namespace kavelin;

constexpr std::size_t kFileBytes = command::kMaxSheetFileBytes;

// `open`, then `entry` (numbered where it holds "#") with commas until the file is full,
// then `close`.
std::string Fill(const std::string& open, const std::string& entry, const std::string& close) {
  std::string json;
  json.reserve(kFileBytes);
  json += open;
  const std::size_t mark = entry.find('#');
  for (std::size_t i = 0;; ++i) {
    const std::string one = mark == std::string::npos ? entry
                                                      : entry.substr(0, mark) + std::to_string(i) +
                                                            entry.substr(mark + 1);
    if (json.size() + one.size() + 1 + close.size() > kFileBytes) break;
    if (i > 0) json += ',';
    json += one;
  }
  // Appended in place: a copy would double the memory the figures are read for.
  json += close;
  return json;
}

void BM_SheetFileHostile(benchmark::State& state, const std::string& open, const std::string& entry,
                         const std::string& close) {
  const std::string json = Fill(open, entry, close);
  for (auto _ : state)
    benchmark::DoNotOptimize(sheet::ReadSheetFile(json));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(json.size()));
  state.SetLabel(sheet::ReadSheetFile(json).error.substr(0, 60));
}
// The first entry is refused; the reader must still get through the rest.
BENCHMARK_CAPTURE(BM_SheetFileHostile, swaps_of_objects, R"({"paletteSwaps":[)", "{}", "]}")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SheetFileHostile, empty_arrays, R"({"comment":[)", "[]", "]}")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SheetFileHostile, empty_strings, R"({"comment":[)", R"("")", "]}")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SheetFileHostile, unknown_key_arrays, R"({"notes":[)", "[]", "]}")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SheetFileHostile, top_level_arrays, "[", "[]", "]")
    ->Unit(benchmark::kMillisecond);
// As deep as a file may nest: the document, the array and 14 more.
BENCHMARK_CAPTURE(BM_SheetFileHostile, nested, R"({"comment":[)", "[[[[[[[[[[[[[{}]]]]]]]]]]]]]",
                  "]}")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SheetFileHostile, many_keys, "{", R"("k#":1)", "}")
    ->Unit(benchmark::kMillisecond);
// Valid throughout: every pair is kept, so memory grows with the pairs, not the text.
BENCHMARK_CAPTURE(BM_SheetFileHostile, valid_swaps, R"({"paletteSwaps":[)", "[1,2]", "]}")
    ->Unit(benchmark::kMillisecond);

}  // namespace
