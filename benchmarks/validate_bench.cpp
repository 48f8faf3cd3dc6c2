// The error pass and the warning pass over the sample sheet, and the live check the window
// runs after each edit.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "bench_support.hpp"
#include "sheet/catalogue.hpp"
#include "validate/consistency_warnings.hpp"
#include "validate/input_errors.hpp"
#include "validate/live_check.hpp"

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

// The window's live check of the whole sample sheet: a copy, both passes, the fields.
void BM_LiveCheck(benchmark::State& state) {
  const auto document = bench::SampleSheet();
  const text::CodeTable codes;
  for (auto _ : state)
    benchmark::DoNotOptimize(validate::LiveCheck(document.sheet, codes, true));
}
BENCHMARK(BM_LiveCheck);

// The dearest sheet to check: every section on, a message from every rule that can fire
// with the others, slots to normalise and a comment at its longest.
void BM_LiveCheckEveryRule(benchmark::State& state) {
  auto sheet = bench::SampleSheet().sheet;
  for (auto& flags : sheet.flags)
    flags.enabled = true;
  sheet.name = u" ABCDEFGHIJ ";
  sheet.jobName = u"ｶﾞﾙﾀﾞｶﾞﾙﾀﾞｶﾞﾙﾀﾞ";
  sheet.basicStatus.stats[6] = u"91";
  sheet.basicStatus.lp = u"127";
  sheet.initialLevels.levels = {u"29", u"0", u"0", u"0", u"0", u"0", u"0", u"0", u"32"};
  sheet.initialArts.techniques = {0, 3, 3, 1};
  sheet.initialArts.spells = {0, 7, 7, 1};
  auto at = [](sheet::ListId list, std::uint8_t code) {
    return sheet::PositionOfCode(list, code).value_or(0);
  };
  sheet.initialEquipment.weapons = {at(sheet::ListId::kWeapon, 0x50),
                                    at(sheet::ListId::kWeapon, 0x51), 0, 0};
  sheet.initialEquipment.armour = {at(sheet::ListId::kArmour, 0xA0),
                                   at(sheet::ListId::kArmour, 0x60), 0, 0};
  sheet.otherTraits.exclusiveWeapon = 1;
  sheet.growthRates.growthRates[14] = u"9";
  sheet.comment.assign(sheet::kMaxCommentLength, u'あ');
  const text::CodeTable codes;
  for (auto _ : state)
    benchmark::DoNotOptimize(validate::LiveCheck(sheet, codes, false));
}
BENCHMARK(BM_LiveCheckEveryRule);

}  // namespace
