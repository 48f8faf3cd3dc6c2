#include "patch/template_export.hpp"

#include <gtest/gtest.h>

#include <random>

#include "../image/image_files.hpp"
#include "image/decoder.hpp"
#include "image/encoder.hpp"
#include "image/intake.hpp"
#include "image/palette_panel.hpp"
#include "image/sprite_cells.hpp"
#include "patch/patch_file.hpp"
#include "patch/patch_reader.hpp"
#include "patch_fixtures.hpp"
#include "support/failure_access.hpp"

namespace kavelin::patch {
namespace {

using namespace ::kavelin::testing;

using Bytes = std::vector<std::uint8_t>;
using image::Colour;
using image::Raster;
using image::testing::TempFolder;
using image::testing::WriteFile;

// Loads `raster` as the template, through the real load with a decoder that hands it over.
image::TemplateImage Load(const Raster& raster, const TempFolder& folder) {
  const auto file = folder / "template.bmp";
  WriteFile(file, {'B', 'M'});
  image::TemplateImage t;
  const auto status =
      image::LoadTemplateImage(t, file, [&](const auto&) { return std::optional<Raster>(raster); });
  EXPECT_EQ(status, image::ImageStatus::kOk);
  return t;
}

void Swap(image::TemplateImage& t, int a, int b) {
  image::SetPaletteToggle(t, a, true);
  image::SetPaletteToggle(t, b, true);
}

// A template of `count` colours scattered over the cells, margined or not; some colours
// share an SNES word, one may be black.
Raster RandomTemplate(std::mt19937& random, int count, bool margined) {
  std::vector<Colour> colours;
  while (static_cast<int>(colours.size()) < count) {
    Colour c = random() & 0xFFFFFF;
    if (colours.size() % 4 == 1) c = (colours.back() & 0xF8F8F8) | (random() & 0x070707);
    if (colours.size() == 5) c = 0;
    if (std::find(colours.begin(), colours.end(), c) == colours.end() && c != image::kBackground) {
      colours.push_back(c);
    }
  }
  const int shift = margined ? 0 : -1;
  Raster r(margined ? 176 : 175, margined ? 132 : 131, image::Rgb(90, 90, 90));
  for (const auto& cell : image::kSpriteCells) {
    for (int y = cell.y; y < cell.y + cell.h; ++y) {
      for (int x = cell.x; x < cell.x + cell.w; ++x) {
        // Runs of one colour, like drawn sprites, with every colour somewhere.
        const int pick = (x / 3 + y / 5 + static_cast<int>(random() % 3)) % count;
        r.Set(x + shift, y + shift, colours[static_cast<std::size_t>(pick)]);
      }
    }
  }
  return r;
}

TEST(TemplateExport, ExportLoadAndMakeGivesTheOriginalBytes) {
  std::mt19937 random(7);
  const text::CodeTable codes;
  int cases = 0;
  for (int round = 0; round < 40; ++round) {
    TempFolder folder;
    const int count = 2 + round % 14;
    auto original = Load(RandomTemplate(random, count, round % 3 != 0), folder);
    // The user's own order: a few swaps of assigned entries.
    for (int s = 0; s < round % 5; ++s) {
      const int a = static_cast<int>(random() % 16), b = static_cast<int>(random() % 16);
      if (!original.palette.IsEmpty(a) && !original.palette.IsEmpty(b)) Swap(original, a, b);
    }
    sheet::CharacterSheet s = round % 2 ? testing::FullSheet() : sheet::CharacterSheet{};
    const auto first = BuildPatchBytes(s, codes, original);
    ASSERT_TRUE(first.Ok());

    const auto read = ReadPatchFile(ValueOf(first), codes);
    ASSERT_TRUE(read.Ok()) << WhatOf(read);
    const auto exported = ExportTemplate(ValueOf(read).paletteWords, ValueOf(read).tiles);
    // The layout with the margin: offset 0 on load.
    EXPECT_NE(exported.raster.At(175, 1), image::kBackground);
    auto reloaded = Load(exported.raster, folder);
    EXPECT_EQ(reloaded.originOffset, 0);
    for (const auto& [a, b] : exported.paletteSwaps)
      Swap(reloaded, a, b);

    const auto again = BuildPatchBytes(ValueOf(read).sheet, codes, reloaded);
    ASSERT_TRUE(again.Ok());
    EXPECT_EQ(ValueOf(again), ValueOf(first)) << "round " << round << ", " << count << " colours";
    ++cases;
  }
  EXPECT_EQ(cases, 40);
}

TEST(TemplateExport, ADrawnTemplateIsCurrentWithoutAFile) {
  std::mt19937 random(11);
  TempFolder folder;
  const auto original = Load(RandomTemplate(random, 9, true), folder);
  const text::CodeTable codes;
  const auto bytes = ValueOf(BuildPatchBytes({}, codes, original));
  const auto read = ReadPatchFile(bytes, codes);
  const auto exported = ExportTemplate(ValueOf(read).paletteWords, ValueOf(read).tiles);

  image::TemplateImage drawn;
  ASSERT_EQ(image::LoadDrawnTemplate(drawn, exported.raster), image::ImageStatus::kOk);
  EXPECT_TRUE(drawn.Loaded());
  EXPECT_TRUE(drawn.path.empty());
  for (const auto& [a, b] : exported.paletteSwaps)
    Swap(drawn, a, b);
  EXPECT_EQ(ValueOf(BuildPatchBytes(ValueOf(read).sheet, codes, drawn)), bytes);

  // A browse the signature check rejects leaves no template current, drawn or not.
  WriteFile(folder / "notes.txt", {'x'});
  image::TakeInTemplateFile(drawn, folder / "notes.txt", image::DecodeImageFile);
  EXPECT_FALSE(drawn.Loaded());
}

TEST(TemplateExport, EntriesSharingAWordGetDistinctColours) {
  std::array<std::uint16_t, 16> words{};
  words.fill(0x1234);
  std::array<std::uint8_t, kTileDataBytes> tiles{};
  const auto exported = ExportTemplate(words, tiles);
  for (std::size_t i = 0; i < 16; ++i) {
    EXPECT_EQ(image::SnesForm(exported.colours[i]), 0x1234);
    for (std::size_t j = 0; j < i; ++j)
      EXPECT_NE(exported.colours[i], exported.colours[j]);
  }
}

TEST(TemplateExport, TilesUsingAnIndexNoEntryHoldsStillExport) {
  // Index 12 in every pixel, while entry 12's word is empty (0), as another tool might write.
  std::array<std::uint16_t, 16> words{};
  words[0] = 0x7FFF;
  std::array<std::uint8_t, 64> twelves{};
  twelves.fill(12);
  const auto tile = EncodeTile(twelves);
  std::array<std::uint8_t, kTileDataBytes> tiles{};
  for (std::size_t n = 0; n < kTileCount; ++n)
    std::copy(tile.begin(), tile.end(), &tiles[n * 32]);
  const auto exported = ExportTemplate(words, tiles);
  EXPECT_EQ(exported.raster.At(1, 1), exported.colours[12]);
  EXPECT_EQ(image::SnesForm(exported.colours[12]), 0);
  // Only one colour in the cells: it becomes entry 0, and one swap moves it to 12 only if
  // 12 is assigned, which it is not; no swap names an empty entry.
  for (const auto& [a, b] : exported.paletteSwaps) {
    EXPECT_NE(a, 3);
    EXPECT_NE(b, 3);
  }
}

TEST(TemplateExport, WrittenFilesDecodeToTheSamePixels) {
  std::mt19937 random(3);
  const auto raster = RandomTemplate(random, 15, true);
  TempFolder folder;
  for (const char* name : {"t.gif", "t.bmp", "t.png", "T.GIF"}) {
    const auto bytes = image::EncodeImageFile(raster, name);
    ASSERT_TRUE(bytes) << name;
    WriteFile(folder / name, *bytes);
    const auto decoded = image::DecodeImageFile(folder / name);
    ASSERT_TRUE(decoded) << name;
    EXPECT_EQ(*decoded, raster) << name;
  }
  EXPECT_FALSE(image::EncodeImageFile(raster, "t.jpg"));
  // More than 256 colours cannot be a GIF.
  Raster many(32, 32);
  for (int i = 0; i < 32 * 32; ++i)
    many.Set(i % 32, i / 32, static_cast<Colour>(i * 4099));
  EXPECT_FALSE(image::EncodeImageFile(many, "m.gif"));
  // A large noisy image exercises the code-table reset of the encoder.
  Raster noisy(400, 300);
  for (int y = 0; y < 300; ++y) {
    for (int x = 0; x < 400; ++x)
      noisy.Set(x, y, static_cast<Colour>((random() % 200) * 0x010203));
  }
  WriteFile(folder / "noisy.gif", *image::EncodeImageFile(noisy, "noisy.gif"));
  const auto decodedNoisy = image::DecodeImageFile(folder / "noisy.gif");
  ASSERT_TRUE(decodedNoisy);
  EXPECT_EQ(*decodedNoisy, noisy);
}

}  // namespace
}  // namespace kavelin::patch
