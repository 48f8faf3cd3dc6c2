// The patch: encoding the 222 tiles, building every byte, and writing the file.
#include <benchmark/benchmark.h>

#include "bench_support.hpp"
#include "command/memory.hpp"
#include "image/decoder.hpp"
#include "image/intake.hpp"
#include "patch/patch_file.hpp"
#include "patch/patch_writer.hpp"
#include "patch/sprite_tiles.hpp"

namespace {

using namespace kavelin;

// Memory as kavelin-cli keeps it.
const bool kMemoryKept = (command::KeepFreedMemoryForReuse(), true);

image::TemplateImage Sample(const std::filesystem::path& path = bench::kSampleGif) {
  image::TemplateImage t;
  image::LoadTemplateImage(t, path, image::DecodeImageFile);
  return t;
}

void BM_EncodeSpriteTiles(benchmark::State& state) {
  const auto t = Sample();
  for (auto _ : state) {
    benchmark::DoNotOptimize(patch::EncodeSpriteTiles(t.displayed, t.originOffset, t.palette));
  }
}
BENCHMARK(BM_EncodeSpriteTiles);

void BM_BuildPatchBytes(benchmark::State& state) {
  const auto t = Sample();
  const auto sheet = bench::SampleSheet().sheet;
  const text::CodeTable codes;
  for (auto _ : state)
    benchmark::DoNotOptimize(patch::BuildPatchBytes(sheet, codes, t));
}
BENCHMARK(BM_BuildPatchBytes);

// Writing with and without the flush to the disk that guards against power loss.
void BM_WritePatchFile(benchmark::State& state) {
  const bench::ScratchFolder folder("patch");
  std::filesystem::copy_file(bench::kSampleGif, folder.path() / "hero.gif");
  const auto t = Sample(folder.path() / "hero.gif");
  const auto sheet = bench::SampleSheet().sheet;
  const text::CodeTable codes;
  const patch::WriteOptions options{.output = {}, .sync = state.range(0) != 0};
  for (auto _ : state)
    benchmark::DoNotOptimize(patch::WritePatchFile(sheet, codes, t, options));
}
BENCHMARK(BM_WritePatchFile)->ArgName("sync")->Arg(0)->Arg(1);

}  // namespace
