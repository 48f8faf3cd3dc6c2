#include "patch/game_preview.hpp"

#include <gtest/gtest.h>

#include "image/palette_panel.hpp"
#include "image/poison_preview.hpp"
#include "image/sprite_cells.hpp"
#include "patch/patch_file.hpp"
#include "support/failure_access.hpp"

namespace kavelin::patch {
namespace {

using namespace ::kavelin::testing;

using image::Colour;
using image::Rgb;

constexpr Colour kBack = Rgb(0, 128, 128), kRed = Rgb(200, 16, 16), kGreen = Rgb(16, 200, 40),
                 kBlue = Rgb(24, 48, 240), kYellow = Rgb(240, 232, 24), kPink = Rgb(248, 120, 200),
                 kBlack = Rgb(0, 0, 0);
// The two fixed words 0x6BDE and 0x18C6, widened.
constexpr Colour kFixed1 = Rgb(247, 247, 214), kFixed2 = Rgb(49, 49, 49);

// A loaded template whose entries 1 and 2 are red and green, with further colours in the
// cells and in the three poison entries, its palette extracted as a load does it.
image::TemplateImage Template() {
  image::TemplateImage t;
  t.path = "/work/t.gif";
  t.displayed = image::Raster(176, 132, kBack);
  const Colour stripes[] = {kBack, kBlue, kYellow, kBlack, kRed, kGreen};
  for (const auto& cell : image::kSpriteCells) {
    for (int y = cell.y; y < cell.y + cell.h; ++y) {
      for (int x = cell.x; x < cell.x + cell.w; ++x)
        t.displayed.Set(x, y, stripes[(x / 3 + y) % 6]);
    }
  }
  t.displayed.Set(1, 1, kBack);
  t.displayed.Set(10, 13, kRed);
  t.displayed.Set(11, 32, kGreen);
  t.displayed.Set(13, 15, kPink);
  t.displayed.Set(13, 16, kBlue);
  t.displayed.Set(13, 17, kYellow);
  EXPECT_EQ(image::ExtractPalette(t), image::ImageStatus::kOk);
  t.loaded = t.displayed;
  t.toggles.preview.enabled = true;
  EXPECT_EQ(t.palette.entries[1], kRed);
  EXPECT_EQ(t.palette.entries[2], kGreen);
  return t;
}

// What the patch written from `t` holds, read from its bytes without the encoder's help.
struct Written {
  std::array<std::uint16_t, 16> words{};
  std::vector<std::array<int, 64>> tiles;
};
Written WrittenFrom(const image::TemplateImage& t) {
  const auto built = BuildPatchBytes(sheet::CharacterSheet{}, text::CodeTable{}, t);
  EXPECT_TRUE(built.Ok());
  Written w;
  const std::uint8_t* palette = ValueOf(built).data() + 22;
  for (std::size_t i = 0; i < 16; ++i)
    w.words[i] = static_cast<std::uint16_t>(palette[2 * i] | palette[2 * i + 1] << 8);
  for (std::size_t n = 0; n < kTileCount; ++n) {
    const std::uint8_t* tile = ValueOf(built).data() + 54 + n * 32;
    std::array<int, 64> indices{};
    for (int r = 0; r < 8; ++r) {
      for (int c = 0; c < 8; ++c) {
        const int bit = 7 - c;
        indices[static_cast<std::size_t>(r * 8 + c)] =
            (tile[r * 2] >> bit & 1) | (tile[r * 2 + 1] >> bit & 1) << 1 |
            (tile[16 + r * 2] >> bit & 1) << 2 | (tile[16 + r * 2 + 1] >> bit & 1) << 3;
      }
    }
    w.tiles.push_back(indices);
  }
  return w;
}

// Every pixel of the preview against the written patch: index 0 and the gaps show the
// background, every other index the widened word.
void ExpectMatchesPatch(const image::Raster& preview, const Written& w,
                        PreviewBackground background) {
  ASSERT_EQ(preview.Width(), 176);
  ASSERT_EQ(preview.Height(), 132);
  image::Raster expected(176, 132);
  for (int y = 0; y < 132; ++y) {
    for (int x = 0; x < 176; ++x)
      expected.Set(x, y, BackgroundAt(background, x, y));
  }
  for (std::size_t n = 0; n < kTileCount; ++n) {
    for (int p = 0; p < 64; ++p) {
      const int index = w.tiles[n][static_cast<std::size_t>(p)];
      if (index == 0) continue;
      const Colour c = WidenSnesColour(w.words[static_cast<std::size_t>(index)]);
      expected.Set(kSpriteTileTable[n].x + p % 8, kSpriteTileTable[n].y + p / 8, c);
    }
  }
  EXPECT_EQ(preview, expected);
}

TEST(GamePreview, ShowsThePatchsTilesInThePatchsColours) {
  EXPECT_EQ(WidenSnesColour(0x7FFF), Rgb(255, 255, 255));
  EXPECT_EQ(WidenSnesColour(0x001F), Rgb(255, 0, 0));
  EXPECT_EQ(WidenSnesColour(0x0421), Rgb(8, 8, 8));

  const auto t = Template();
  const Written w = WrittenFrom(t);
  for (const auto background :
       {PreviewBackground::kBlack, PreviewBackground::kWhite, PreviewBackground::kCheckerboard}) {
    ExpectMatchesPatch(GamePreview(t, background), w, background);
  }
  const auto preview = GamePreview(t, PreviewBackground::kCheckerboard);
  // Entries 1 and 2 take the game's fixed colours, not the template's red and green.
  EXPECT_EQ(preview.At(10, 13), kFixed1);
  EXPECT_EQ(preview.At(11, 32), kFixed2);
  // Entry 0 is transparent, like the gaps; a blue pixel shows its SNES colour.
  EXPECT_EQ(preview.At(1, 1), kCheckerLight);
  EXPECT_EQ(preview.At(25, 12), kCheckerDark);
  EXPECT_EQ(GamePreview(t, PreviewBackground::kWhite).At(0, 0), Rgb(255, 255, 255));
  EXPECT_EQ(preview.At(13, 16), WidenSnesColour(image::SnesForm(kBlue)));
}

TEST(GamePreview, FollowsSwapsAndLeavesThePoisonLookOut) {
  auto t = Template();
  const auto before = GamePreview(t, PreviewBackground::kBlack);
  // Red moves from entry 1 to entry 4: its pixels now show red; entry 4's colour takes
  // the fixed colour of entry 1.
  const Colour four = t.palette.entries[4];
  image::SetPaletteToggle(t, 1, true);
  ASSERT_TRUE(image::SetPaletteToggle(t, 4, true));
  ASSERT_EQ(t.palette.entries[4], kRed);
  const auto swapped = GamePreview(t, PreviewBackground::kBlack);
  ExpectMatchesPatch(swapped, WrittenFrom(t), PreviewBackground::kBlack);
  EXPECT_NE(swapped, before);
  EXPECT_EQ(swapped.At(10, 13), WidenSnesColour(image::SnesForm(kRed)));
  const auto fourAt = t.palette.IndexOf(four);
  ASSERT_TRUE(fourAt);
  EXPECT_EQ(*fourAt, 1);

  // The poisoned look changes the displayed raster but not the patch, nor the preview.
  image::SetPoisonPreview(t, true);
  ASSERT_NE(t.displayed, t.loaded);
  EXPECT_EQ(GamePreview(t, PreviewBackground::kBlack), swapped);
}

TEST(GamePreview, DrawsAPatchsOwnWordsAndTiles) {
  std::array<std::uint16_t, 16> words{};
  words[5] = 0x001F;
  std::array<std::uint8_t, kTileDataBytes> tiles{};
  // Tile 221 (cell 16, at 84,83): every pixel index 5.
  std::array<std::uint8_t, 64> fives{};
  fives.fill(5);
  const auto encoded = EncodeTile(fives);
  std::copy(encoded.begin(), encoded.end(), tiles.begin() + 221 * kTileBytes);
  const auto preview = DrawGamePreview(words, tiles, PreviewBackground::kWhite);
  EXPECT_EQ(preview.At(84, 83), Rgb(255, 0, 0));
  EXPECT_EQ(preview.At(91, 90), Rgb(255, 0, 0));
  EXPECT_EQ(preview.At(83, 83), Rgb(255, 255, 255));
  EXPECT_EQ(preview.At(92, 90), Rgb(255, 255, 255));
}

}  // namespace
}  // namespace kavelin::patch
