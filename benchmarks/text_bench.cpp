// Game text: encoding a name, widening it, and reading the settings file at start-up.
#include <benchmark/benchmark.h>

#include "text/code_table.hpp"
#include "text/encoding.hpp"
#include "text/settings_file.hpp"
#include "text/widths.hpp"

namespace {

using namespace kavelin::text;

const std::filesystem::path kSettings =
    std::filesystem::path(KAVELIN_TEST_DATA) / "settings" / "only_row3.ini";

void BM_EncodeName(benchmark::State& state) {
  CodeTable table;
  LoadExtendedRows(table, kSettings);
  for (auto _ : state)
    benchmark::DoNotOptimize(EncodeGameText(table, u"お腹いっぱい凛"));
}
BENCHMARK(BM_EncodeName);

void BM_WidenName(benchmark::State& state) {
  for (auto _ : state)
    benchmark::DoNotOptimize(WidenText(u"ｶﾞﾝﾊﾞﾙ ABC"));
}
BENCHMARK(BM_WidenName);

void BM_EncodeCommentCp932(benchmark::State& state) {
  const std::u16string comment(static_cast<std::size_t>(state.range(0)), u'あ');
  for (auto _ : state)
    benchmark::DoNotOptimize(EncodeCp932(comment));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_EncodeCommentCp932)->Arg(100)->Arg(65535);

void BM_LoadSettingsFile(benchmark::State& state) {
  for (auto _ : state) {
    CodeTable table;
    LoadExtendedRows(table, kSettings);
    benchmark::DoNotOptimize(table);
  }
}
BENCHMARK(BM_LoadSettingsFile);

}  // namespace
