#include "image/template_hints.hpp"

#include <gtest/gtest.h>

#include <vector>

#include "image/intake.hpp"

namespace kavelin::image {
namespace {

constexpr Colour kPaint = Rgb(10, 20, 30);

TemplateImage Drawn(const Raster& picture) {
  TemplateImage image;
  LoadDrawnTemplate(image, picture);
  return image;
}

TEST(CellsPastEdge, NameTheSizesThePixelsAndTheCells) {
  // One colour everywhere: 176 wide or more reads the margined layout (cells one pixel in),
  // narrower the cells start at (0, 0).
  struct Case {
    int width, height;
    int neededWidth, neededHeight;  // 0: no hint
    int backgroundPixels;
    std::vector<int> cells;
  };
  const Case cases[] = {
      {174, 131, 0, 0, 0, {}},             // exactly what the margin-less layout needs
      {176, 133, 0, 0, 0, {}},             // the margined layout
      {170, 131, 174, 131, 4 * 24, {20}},  // four columns of the last cell of row three
      {174, 120, 174, 131, 2 * 11 * 24, {21, 22}},
      {176, 131, 175, 132, 2 * 24, {21, 22}},  // margined, one row short
      {10, 10, 174, 131, 14208 - 10 * 10, {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12,
                                           13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23}},
  };
  for (const Case& c : cases) {
    const TemplateImage image = Drawn(Raster(c.width, c.height, kPaint));
    const auto hint = CellsPastEdge(image);
    const std::string name = std::to_string(c.width) + "x" + std::to_string(c.height);
    ASSERT_EQ(hint.has_value(), c.neededWidth != 0) << name;
    if (!hint) continue;
    EXPECT_EQ(hint->pictureWidth, c.width) << name;
    EXPECT_EQ(hint->pictureHeight, c.height) << name;
    EXPECT_EQ(hint->neededWidth, c.neededWidth) << name;
    EXPECT_EQ(hint->neededHeight, c.neededHeight) << name;
    EXPECT_EQ(hint->backgroundPixels, c.backgroundPixels) << name;
    EXPECT_EQ(hint->cells, c.cells) << name;
    ASSERT_EQ(hint->cellRects.size(), c.cells.size()) << name;
    // The outlines stand where the cells are read, origin offset applied.
    const Cell& first = kSpriteCells[static_cast<std::size_t>(c.cells.front() - 1)];
    EXPECT_EQ(hint->cellRects.front().x, first.x + image.originOffset) << name;
  }
}

TEST(CellsPastEdge, NothingWithoutAPicture) {
  EXPECT_FALSE(CellsPastEdge(TemplateImage{}));
}

TEST(ColourOverflow, CountsTheCellsColoursAndNamesTheFirstThatDidNotFit) {
  // Twenty colours down one row of the first cell, on a one-colour margined picture: the
  // backdrop and fourteen of them fill the fifteen entries, the fifteenth is left out.
  Raster picture(176, 133, kPaint);
  std::vector<Colour> drawn;
  for (int i = 0; i < 20; ++i) {
    drawn.push_back(Rgb(static_cast<std::uint8_t>(100 + i), 0, 0));
    picture.Set(1 + i, 5, drawn.back());
  }
  // Outside the cells, colours count for nothing.
  picture.Set(0, 0, Rgb(1, 2, 3));
  TemplateImage image;
  ASSERT_EQ(LoadDrawnTemplate(image, picture), ImageStatus::kTooManyColours);
  const auto overflow = ColourOverflowOf(image);
  ASSERT_TRUE(overflow);
  EXPECT_EQ(overflow->colours, 21);
  EXPECT_EQ(overflow->at, (Point{15, 5}));
  EXPECT_EQ(overflow->colour, drawn[14]);

  picture.Set(1 + 14, 5, kPaint);
  for (int i = 15; i < 20; ++i)
    picture.Set(1 + i, 5, kPaint);
  ASSERT_EQ(LoadDrawnTemplate(image, picture), ImageStatus::kOk);
  EXPECT_FALSE(ColourOverflowOf(image));
}

}  // namespace
}  // namespace kavelin::image
