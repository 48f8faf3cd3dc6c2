#include "image/blank_template.hpp"

#include <gtest/gtest.h>

#include <map>
#include <utility>

#include "image/encoder.hpp"
#include "image/intake.hpp"
#include "image/palette_panel.hpp"
#include "image/sprite_cells.hpp"
#include "template_fixture.hpp"

namespace kavelin::image::testing {
namespace {

bool InACell(int x, int y) {
  for (const Cell& c : kSpriteCells) {
    if (x >= c.x && x < c.x + c.w && y >= c.y && y < c.y + c.h) return true;
  }
  return false;
}

TEST(BlankTemplate, CellsInTheBackdropEverythingElseGreySeedsPainted) {
  const Raster blank = BlankTemplate();
  ASSERT_EQ(blank.Width(), 176);
  ASSERT_EQ(blank.Height(), 132);
  const std::map<std::pair<int, int>, Colour> seeds = {{{10, 13}, kBlankEntry1},
                                                       {{11, 32}, kBlankEntry2},
                                                       {{13, 15}, kBlankPoison[0]},
                                                       {{13, 16}, kBlankPoison[1]},
                                                       {{13, 17}, kBlankPoison[2]}};
  int backdrop = 0;
  for (int y = 0; y < blank.Height(); ++y) {
    for (int x = 0; x < blank.Width(); ++x) {
      const auto seed = seeds.find({x, y});
      const Colour expected = seed != seeds.end() ? seed->second
                              : InACell(x, y)     ? kBlankBackdrop
                                                  : kBlankGaps;
      ASSERT_EQ(blank.At(x, y), expected) << x << ", " << y;
      backdrop += blank.At(x, y) == kBlankBackdrop;
    }
  }
  EXPECT_EQ(backdrop, CellPixelTotal() - 5);
}

TEST(BlankTemplate, LoadsAsATemplateFromEveryFormatTheIntakeReads) {
  TempFolder folder;
  for (const char* name : {"blank.gif", "blank.bmp"}) {
    const auto bytes = EncodeImageFile(BlankTemplate(), name);
    ASSERT_TRUE(bytes) << name;
    WriteFile(folder / name, *bytes);
    ASSERT_EQ(CheckImageSignature(folder / name), ImageStatus::kOk) << name;
    TemplateImage image;
    ASSERT_EQ(LoadTemplateImage(image, folder / name, DecodeImageFile), ImageStatus::kOk) << name;
    // The margin is there, so the cells start at (1, 1).
    EXPECT_EQ(image.originOffset, 0) << name;
    SpritePalette expected;
    expected.entries[0] = kBlankBackdrop;
    expected.entries[1] = kBlankEntry1;
    expected.entries[2] = kBlankEntry2;
    expected.entries[kReservedEntry] = 0x000000;
    for (int i = 0; i < 3; ++i)
      expected.entries[static_cast<std::size_t>(6 + i)] = kBlankPoison[i];
    EXPECT_EQ(image.palette, expected) << name;
    // Loaded as it is, entries 1 and 2 are already the game's: no hint.
    EXPECT_TRUE(FixedColourHints(image).empty()) << name;
  }
}

// A template whose entries 1 and 2 are not the game's fixed colours: each is named with
// its colour, the game's word, the seed pixel that decided it and the cell pixels that
// change.
TEST(FixedColourHints, NameTheEntryTheColoursTheSeedAndTheChangedPixels) {
  Raster drawn = BlankTemplate();
  const Colour red = Rgb(0xF8, 0, 0);
  drawn.Set(10, 13, red);                    // entry 1's seed
  drawn.Set(20, 20, red);                    // and one more pixel of it in the first cell
  drawn.Set(11, 32, Rgb(0x37, 0x37, 0x37));  // entry 2: the same SNES form as the game's
  TemplateImage image;
  ASSERT_EQ(LoadDrawnTemplate(image, drawn), ImageStatus::kOk);
  const auto hints = FixedColourHints(image);
  ASSERT_EQ(hints.size(), 1u);
  EXPECT_EQ(hints[0].entry, 1);
  EXPECT_EQ(hints[0].templateColour, red);
  EXPECT_EQ(hints[0].gameWord, 0x6BDE);
  EXPECT_EQ(hints[0].changedPixels, 2);
  EXPECT_EQ(hints[0].seed, (Point{10, 13}));
  // Both differing: two hints, in entry order.
  drawn.Set(11, 32, Rgb(0, 0, 0xF8));
  ASSERT_EQ(LoadDrawnTemplate(image, drawn), ImageStatus::kOk);
  const auto both = FixedColourHints(image);
  ASSERT_EQ(both.size(), 2u);
  EXPECT_EQ(both[1].entry, 2);
  EXPECT_EQ(both[1].gameWord, 0x18C6);
  EXPECT_EQ(both[1].seed, (Point{11, 32}));
  EXPECT_EQ(both[1].changedPixels, 1);
}

}  // namespace
}  // namespace kavelin::image::testing
