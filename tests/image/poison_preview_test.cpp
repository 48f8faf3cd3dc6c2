#include "image/poison_preview.hpp"

#include <gtest/gtest.h>

#include "image/palette_panel.hpp"
#include "template_fixture.hpp"

namespace kavelin::image::testing {
namespace {

constexpr Colour kPoison6 = 0xF8D8F8, kPoison7 = 0xF8B8D8, kPoison8 = 0x8068F8;

using PoisonPreview = TemplateTest;

TEST_F(PoisonPreview, RecoloursExactlyTheCellPixelsOfEntriesSixToEight) {
  // Black is entry 6 at (13, 15) and (20, 20), and stands in a gap at (25, 50) as well.
  std::vector<Paint> paints = KnownColourPaints();
  paints.push_back({25, 50, kBlack});
  for (const int offset : {0, -1}) {
    const Raster margined = Margined(kWhite, paints);
    ASSERT_EQ(Load(offset == 0 ? margined : WithoutMargin(margined)), ImageStatus::kOk);
    const Raster original = image_.displayed;
    Raster expected = original;
    for (const Paint& p : std::vector<Paint>{
             {13, 15, kPoison6}, {20, 20, kPoison6}, {13, 16, kPoison7}, {13, 17, kPoison8}})
      expected.Set(p.x + offset, p.y + offset, p.c);

    SetPoisonPreview(image_, true);
    EXPECT_TRUE(image_.toggles.preview.ticked);
    EXPECT_EQ(image_.displayed, expected) << "offset " << offset;
    SetPoisonPreview(image_, true);  // no change of state, no second pass
    EXPECT_EQ(image_.displayed, expected);
    SetPoisonPreview(image_, false);
    EXPECT_EQ(image_.displayed, original);
  }
}

TEST_F(PoisonPreview, TurningOffRestoresFromMemoryNotFromTheFile) {
  ASSERT_EQ(Load(Margined(kWhite, KnownColourPaints())), ImageStatus::kOk);
  const Raster original = image_.displayed;
  std::filesystem::remove(file_);
  SetPoisonPreview(image_, true);
  SetPoisonPreview(image_, false);
  EXPECT_EQ(image_.displayed, original);
  EXPECT_EQ(decodes_, 1);
}

TEST_F(PoisonPreview, FollowsTheEntriesAsSwapped) {
  ASSERT_EQ(Load(Margined(kWhite, KnownColourPaints())), ImageStatus::kOk);
  SetPaletteToggle(image_, 6, true);
  SetPaletteToggle(image_, 10, true);  // green (cell 19) is now entry 6, black entry 10
  SetPoisonPreview(image_, true);
  EXPECT_EQ(image_.displayed.At(174, 98), kPoison6);
  EXPECT_EQ(image_.displayed.At(13, 15), kBlack);
  EXPECT_EQ(image_.displayed.At(13, 16), kPoison7);
}

TEST_F(PoisonPreview, EmptyEntriesAndMissingTemplateChangeNothing) {
  // Only white, with two seeds: entries 6, 7 and 8 stay empty.
  ASSERT_EQ(Load(Margined(kWhite, {{10, 13, Rgb(1, 1, 1)}, {11, 32, Rgb(2, 2, 2)}})),
            ImageStatus::kOk);
  ASSERT_TRUE(image_.palette.IsEmpty(6));
  SetPoisonPreview(image_, true);
  EXPECT_EQ(image_.displayed, image_.loaded);

  // Before any load the box is disabled and cannot be ticked.
  TemplateImage fresh;
  SetPoisonPreview(fresh, true);
  EXPECT_FALSE(fresh.toggles.preview.ticked);
}

}  // namespace
}  // namespace kavelin::image::testing
