#include "image/blank_template.hpp"

#include <gtest/gtest.h>

#include "image/encoder.hpp"
#include "image/intake.hpp"
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

TEST(BlankTemplate, CellsInTheBackdropEverythingElseGrey) {
  const Raster blank = BlankTemplate();
  ASSERT_EQ(blank.Width(), 176);
  ASSERT_EQ(blank.Height(), 132);
  int backdrop = 0;
  for (int y = 0; y < blank.Height(); ++y) {
    for (int x = 0; x < blank.Width(); ++x) {
      const Colour expected = InACell(x, y) ? kBlankBackdrop : kBlankGaps;
      ASSERT_EQ(blank.At(x, y), expected) << x << ", " << y;
      backdrop += blank.At(x, y) == kBlankBackdrop;
    }
  }
  EXPECT_EQ(backdrop, CellPixelTotal());
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
    expected.entries[kReservedEntry] = 0x000000;
    EXPECT_EQ(image.palette, expected) << name;
  }
}

}  // namespace
}  // namespace kavelin::image::testing
