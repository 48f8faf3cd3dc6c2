// Template intake: decoding GIF, BMP and PNG, the palette extraction, and the whole load.
#include <benchmark/benchmark.h>

#include <fstream>

#include "bench_support.hpp"
#include "command/memory.hpp"
#include "image/decoder.hpp"
#include "image/encoder.hpp"
#include "image/intake.hpp"
#include "image/palette_panel.hpp"
#include "qt_reference_decoder.hpp"

namespace {

using namespace kavelin;

// Memory as kavelin-cli keeps it.
const bool kMemoryKept = (command::KeepFreedMemoryForReuse(), true);

// The sample template saved again as an 8-bit BMP, the other format users bring.
const std::filesystem::path& SampleBmp() {
  static const bench::ScratchFolder folder("image");
  static const std::filesystem::path bmp = [] {
    const auto path = folder.path() / "hero.bmp";
    const auto decoded = image::DecodeImageFile(bench::kSampleGif);
    std::ofstream out(path, std::ios::binary);
    const auto bytes = image::EncodeBmp(*decoded);
    out.write(reinterpret_cast<const char*>(bytes->data()),
              static_cast<std::streamsize>(bytes->size()));
    return path;
  }();
  return bmp;
}

// The sample template saved again as PNG (a palette PNG, as our encoder and most paint
// programs write a picture of few colours).
const std::filesystem::path& SamplePng() {
  static const bench::ScratchFolder folder("image-png");
  static const std::filesystem::path png = [] {
    const auto path = folder.path() / "hero.png";
    const auto decoded = image::DecodeImageFile(bench::kSampleGif);
    std::ofstream out(path, std::ios::binary);
    const auto bytes = image::EncodePng(*decoded);
    out.write(reinterpret_cast<const char*>(bytes->data()),
              static_cast<std::streamsize>(bytes->size()));
    return path;
  }();
  return png;
}

void BM_DecodeGif(benchmark::State& state) {
  for (auto _ : state)
    benchmark::DoNotOptimize(image::DecodeImageFile(bench::kSampleGif));
}
BENCHMARK(BM_DecodeGif);

void BM_DecodeBmp(benchmark::State& state) {
  const auto& bmp = SampleBmp();
  for (auto _ : state)
    benchmark::DoNotOptimize(image::DecodeImageFile(bmp));
}
BENCHMARK(BM_DecodeBmp);

void BM_DecodePng(benchmark::State& state) {
  const auto& png = SamplePng();
  for (auto _ : state)
    benchmark::DoNotOptimize(image::DecodeImageFile(png));
}
BENCHMARK(BM_DecodePng);

// Qt's reader, which decoded templates before our own did, for comparison.
void BM_DecodeGifWithQt(benchmark::State& state) {
  for (auto _ : state)
    benchmark::DoNotOptimize(image::testing::DecodeWithQt(bench::kSampleGif));
}
BENCHMARK(BM_DecodeGifWithQt);

void BM_DecodeBmpWithQt(benchmark::State& state) {
  const auto& bmp = SampleBmp();
  for (auto _ : state)
    benchmark::DoNotOptimize(image::testing::DecodeWithQt(bmp));
}
BENCHMARK(BM_DecodeBmpWithQt);

void BM_DecodePngWithQt(benchmark::State& state) {
  const auto& png = SamplePng();
  for (auto _ : state)
    benchmark::DoNotOptimize(image::testing::DecodeWithQt(png));
}
BENCHMARK(BM_DecodePngWithQt);

void BM_ExtractPalette(benchmark::State& state) {
  image::TemplateImage loaded;
  image::LoadTemplateImage(loaded, bench::kSampleGif, image::DecodeImageFile);
  for (auto _ : state) {
    image::TemplateImage t = loaded;
    benchmark::DoNotOptimize(image::ExtractPalette(t));
  }
}
BENCHMARK(BM_ExtractPalette);

void BM_TakeInTemplate(benchmark::State& state) {
  for (auto _ : state) {
    image::TemplateImage t;
    benchmark::DoNotOptimize(
        image::TakeInTemplateFile(t, bench::kSampleGif, image::DecodeImageFile));
  }
}
BENCHMARK(BM_TakeInTemplate);

// The whole intake of the same template from each of the other formats.
void BM_TakeInTemplateBmp(benchmark::State& state) {
  const auto& bmp = SampleBmp();
  for (auto _ : state) {
    image::TemplateImage t;
    benchmark::DoNotOptimize(image::TakeInTemplateFile(t, bmp, image::DecodeImageFile));
  }
}
BENCHMARK(BM_TakeInTemplateBmp);

void BM_TakeInTemplatePng(benchmark::State& state) {
  const auto& png = SamplePng();
  for (auto _ : state) {
    image::TemplateImage t;
    benchmark::DoNotOptimize(image::TakeInTemplateFile(t, png, image::DecodeImageFile));
  }
}
BENCHMARK(BM_TakeInTemplatePng);

}  // namespace
