// The error pass and the warning pass over the sample sheet.
#include <benchmark/benchmark.h>

#include "bench_support.hpp"
#include "validate/consistency_warnings.hpp"
#include "validate/input_errors.hpp"

namespace {

using namespace kavelin;

void BM_CheckInputErrors(benchmark::State& state) {
  const auto document = bench::SampleSheet();
  const text::CodeTable codes;
  for (auto _ : state) {
    auto sheet = document.sheet;
    benchmark::DoNotOptimize(validate::CheckInputErrors(sheet, codes, true));
  }
}
BENCHMARK(BM_CheckInputErrors);

void BM_CheckConsistencyWarnings(benchmark::State& state) {
  const auto document = bench::SampleSheet();
  const text::CodeTable codes;
  for (auto _ : state)
    benchmark::DoNotOptimize(validate::CheckConsistencyWarnings(document.sheet, codes));
}
BENCHMARK(BM_CheckConsistencyWarnings);

}  // namespace
