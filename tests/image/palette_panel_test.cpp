#include "image/palette_panel.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iterator>

#include "image/poison_preview.hpp"
#include "template_fixture.hpp"

namespace kavelin::image::testing {
namespace {

// The counting of std::ranges, which not every C++ library has yet.
template <class Range, class Value>
long Count(const Range& range, const Value& value) {
  return static_cast<long>(std::count(std::begin(range), std::end(range), value));
}
template <class Range, class Member>
bool NoneOf(const Range& range, Member member) {
  return std::none_of(std::begin(range), std::end(range),
                      [&](const auto& e) { return std::invoke(member, e); });
}

using PalettePanel = TemplateTest;

// The same template with its margin (offset 0) and without (offset -1).
constexpr int kOffsets[] = {0, -1};
Raster InLayout(const Raster& margined, int offset) {
  return offset == 0 ? margined : WithoutMargin(margined);
}

TEST_F(PalettePanel, KnownColoursGiveExactEntriesAndCaptions) {
  const EntryCaptions expected[kPaletteSize] = {
      {"0xFF", "0xFF", "0xFF", "0x7FFF"},
      {"0x08", "0x10", "0x18", "0x0C41"},
      {"0xFF", "0x00", "0x00", "0x001F"},
      {"0x00", "0x00", "0x00", "0x0000"},
      {"0x12", "0x34", "0x56", "0x28C2"},
      {"0xAB", "0xCD", "0xEF", "0x7735"},
      {"0x00", "0x00", "0x00", "0x0000"},
      {"0x10", "0x20", "0x30", "0x1882"},
      {"0xF8", "0xF8", "0xF8", "0x7FFF"},
      {"0x07", "0x07", "0x07", "0x0000"},
      {"0x00", "0xFF", "0x00", "0x03E0"},
      {"0x00", "0x00", "0xFF", "0x7C00"},
      {},
      {},
      {},
      {},
  };
  for (const int offset : kOffsets) {
    SCOPED_TRACE(offset);
    ASSERT_EQ(Load(InLayout(Margined(kWhite, KnownColourPaints()), offset)), ImageStatus::kOk);
    EXPECT_EQ(image_.originOffset, offset);
    for (int i = 0; i < kPaletteSize; ++i) {
      const Colour entry = image_.palette.entries[static_cast<std::size_t>(i)];
      EXPECT_EQ(entry, kKnownEntries[static_cast<std::size_t>(i)]) << "entry " << i;
      EXPECT_EQ(CaptionsOf(entry), expected[i]) << "entry " << i;
      EXPECT_EQ(image_.toggles.entries[static_cast<std::size_t>(i)].enabled, i <= 11) << i;
    }
    EXPECT_EQ(ToggleCaption(10), "0A");
  }
}

TEST_F(PalettePanel, FifteenColoursFit) {
  for (const bool withBlack : {false, true}) {
    SCOPED_TRACE(withBlack ? "black among them" : "no black");
    ASSERT_EQ(Load(Margined(kWhite, FifteenColourPaints(withBlack))), ImageStatus::kOk);
    const auto& entries = image_.palette.entries;
    EXPECT_EQ(Count(entries, kEmptyEntry), 0);
    EXPECT_EQ(entries[kReservedEntry], kBlack);
    EXPECT_EQ(Count(entries, kBlack), withBlack ? 2 : 1);
    EXPECT_FALSE(image_.overflowPixel);
  }
}

TEST_F(PalettePanel, OneColourMoreFailsAndMarksTheFirstSuchPixelInScanOrder) {
  constexpr Colour kExtra = Rgb(77, 77, 77);
  std::vector<Paint> paints = FifteenColourPaints(true);
  // Cell 3 comes after cell 2; in cell 2, column 59 comes before column 60 whatever the row.
  paints.insert(paints.end(), {{80, 20, kExtra}, {60, 10, kExtra}, {59, 32, kExtra}});
  for (const int offset : kOffsets) {
    SCOPED_TRACE(offset);
    const Raster picture = InLayout(Margined(kWhite, paints), offset);
    image_.path = "previous.bmp";
    ASSERT_EQ(Load(picture), ImageStatus::kTooManyColours);
    EXPECT_EQ(MessageFor(ImageStatus::kTooManyColours), "色数が多すぎます。");
    EXPECT_TRUE(image_.path.empty());
    const Point centre = {59 + offset, 32 + offset};
    EXPECT_EQ(image_.overflowPixel, centre);

    // The ring of radius 5, pen 2, and nothing else changed.
    constexpr Colour kRed = Rgb(255, 0, 0);
    for (const auto& [dx, dy] : {std::pair{5, 0}, {-5, 0}, {0, 5}, {0, -5}, {3, 4}, {-4, -3}})
      EXPECT_EQ(image_.displayed.At(centre.x + dx, centre.y + dy), kRed) << dx << "," << dy;
    int changed = 0;
    for (int y = 0; y < image_.displayed.Height(); ++y) {
      for (int x = 0; x < image_.displayed.Width(); ++x) {
        if (image_.displayed.At(x, y) == image_.loaded.At(x, y)) continue;
        ++changed;
        const int squared = (x - centre.x) * (x - centre.x) + (y - centre.y) * (y - centre.y);
        EXPECT_TRUE(squared >= 9 && squared <= 49) << x << "," << y;
      }
    }
    EXPECT_GT(changed, 20);
    EXPECT_EQ(image_.displayed.At(centre.x, centre.y), kExtra);

    // The entries found before the stop stay; every toggle and the preview are disabled.
    EXPECT_EQ(Count(image_.palette.entries, kEmptyEntry), 0);
    EXPECT_EQ(Count(image_.palette.entries, kExtra), 0);
    EXPECT_TRUE(NoneOf(image_.toggles.entries, &Toggle::enabled));
    EXPECT_FALSE(image_.toggles.preview.enabled);
  }
}

TEST_F(PalettePanel, MarkNearTheEdgeStaysOnThePictureArea) {
  // A narrow image whose last cell column holds the extra colour: the ring reaches past
  // the image, where the picture area still shows it.
  std::vector<Paint> paints = FifteenColourPaints(false);
  paints.push_back({174, 98, Rgb(77, 77, 77)});
  ASSERT_EQ(Load(WithoutMargin(Margined(kWhite, paints))), ImageStatus::kTooManyColours);
  EXPECT_EQ(image_.overflowPixel, (Point{173, 97}));
  EXPECT_EQ(image_.displayed.At(178, 97), Rgb(255, 0, 0));
}

// The first entries are taken in the first cell; a colour found later comes first in its
// own cell's scan, at the cell's corner, alone in its column, and throughout a later cell.
TEST_F(PalettePanel, ColoursFirstSeenInLaterCellsAreAllTaken) {
  const Colour corner = Rgb(1, 2, 3), lone = Rgb(4, 5, 6), whole = Rgb(7, 8, 9);
  std::vector<Paint> paints = {{26, 9, corner}, {60, 20, lone}};
  for (int y = 9; y < 33; ++y) {
    for (int x = 101; x < 125; ++x)
      paints.push_back({x, y, whole});
  }
  for (const int offset : kOffsets) {
    SCOPED_TRACE(offset);
    ASSERT_EQ(Load(InLayout(Margined(kWhite, paints), offset)), ImageStatus::kOk);
    for (const Colour c : {corner, lone, whole})
      EXPECT_TRUE(image_.palette.IndexOf(c)) << std::hex << c;
  }
}

TEST_F(PalettePanel, ColoursOutsideTheCellsAreIgnored) {
  std::vector<Paint> paints;
  for (int y = 0; y < kMarginedHeight; ++y) {
    paints.push_back({25, y, Rgb(1, static_cast<std::uint8_t>(y), 9)});   // a gap column
    paints.push_back({175, y, Rgb(2, static_cast<std::uint8_t>(y), 9)});  // right margin
  }
  for (int x = 0; x < kMarginedWidth; ++x)
    paints.push_back({x, 0, Rgb(3, static_cast<std::uint8_t>(x), 9)});  // top margin
  ASSERT_EQ(Load(Margined(kWhite, paints)), ImageStatus::kOk);
  EXPECT_EQ(image_.originOffset, 0);
  EXPECT_EQ(image_.palette.entries[0], kWhite);
  EXPECT_EQ(image_.palette.entries[3], kBlack);
  EXPECT_EQ(Count(image_.palette.entries, kEmptyEntry), 14);
}

TEST_F(PalettePanel, SeedEqualToAnEarlierOneLeavesItsEntryToTheScan) {
  // (10, 13) is white like (1, 1): entry 1 stays free and takes the scan's first colour.
  const Colour first = Rgb(40, 50, 60), later = Rgb(70, 80, 90);
  ASSERT_EQ(Load(Margined(kWhite, {{11, 32, Rgb(255, 0, 0)}, {3, 5, first}, {40, 20, later}})),
            ImageStatus::kOk);
  const auto& e = image_.palette.entries;
  EXPECT_EQ(e[1], first);
  EXPECT_EQ(e[2], Rgb(255, 0, 0));
  EXPECT_EQ(e[4], later);
  EXPECT_TRUE(image_.palette.IsEmpty(6) && image_.palette.IsEmpty(7) && image_.palette.IsEmpty(8));
}

TEST_F(PalettePanel, SwapFiveAndNineTwice) {
  ASSERT_EQ(Load(Margined(kWhite, KnownColourPaints())), ImageStatus::kOk);
  const SpritePalette original = image_.palette;

  EXPECT_FALSE(SetPaletteToggle(image_, 5, true));
  EXPECT_TRUE(image_.toggles.entries[5].ticked) << "waits for a partner";
  EXPECT_TRUE(SetPaletteToggle(image_, 9, true));
  EXPECT_EQ(image_.palette.entries[5], original.entries[9]);
  EXPECT_EQ(image_.palette.entries[9], original.entries[5]);
  EXPECT_EQ(CaptionsOf(image_.palette.entries[5]),
            (EntryCaptions{"0x07", "0x07", "0x07", "0x0000"}));
  EXPECT_EQ(CaptionsOf(image_.palette.entries[9]),
            (EntryCaptions{"0xAB", "0xCD", "0xEF", "0x7735"}));
  EXPECT_TRUE(NoneOf(image_.toggles.entries, &Toggle::ticked));

  // Ticked the other way round, the second swap restores the first order.
  SetPaletteToggle(image_, 9, true);
  EXPECT_TRUE(SetPaletteToggle(image_, 5, true));
  EXPECT_EQ(image_.palette, original);
  EXPECT_TRUE(NoneOf(image_.toggles.entries, &Toggle::ticked));
  EXPECT_EQ(image_.displayed, image_.loaded) << "a swap never changes the picture";
}

TEST_F(PalettePanel, TogglesThatCannotTakePartInASwap) {
  ASSERT_EQ(Load(Margined(kWhite, KnownColourPaints())), ImageStatus::kOk);
  const SpritePalette original = image_.palette;

  // Entry 3: the tick is undone, also while another toggle waits, which keeps waiting.
  EXPECT_FALSE(SetPaletteToggle(image_, 3, true));
  EXPECT_FALSE(image_.toggles.entries[3].ticked);
  SetPaletteToggle(image_, 5, true);
  EXPECT_FALSE(SetPaletteToggle(image_, 3, true));
  EXPECT_FALSE(image_.toggles.entries[3].ticked);
  EXPECT_TRUE(image_.toggles.entries[5].ticked);
  // Unticking the waiting toggle cancels it.
  EXPECT_FALSE(SetPaletteToggle(image_, 5, false));
  // An empty entry's toggle is disabled; indices out of range are nothing.
  EXPECT_FALSE(SetPaletteToggle(image_, 12, true));
  EXPECT_FALSE(SetPaletteToggle(image_, 16, true));
  EXPECT_FALSE(SetPaletteToggle(image_, -1, true));
  EXPECT_FALSE(SetPaletteToggle(image_, 0, true));
  EXPECT_TRUE(SetPaletteToggle(image_, 11, true));
  EXPECT_EQ(image_.palette.entries[0], original.entries[11]);
  EXPECT_EQ(image_.palette.entries[11], original.entries[0]);
}

TEST_F(PalettePanel, ALoadUnticksAToggleLeftWaiting) {
  ASSERT_EQ(Load(Margined(kWhite, KnownColourPaints())), ImageStatus::kOk);
  SetPaletteToggle(image_, 11, true);
  // The next template leaves entry 11 empty: the waiting tick must not survive to swap
  // the empty marker into a shown row.
  ASSERT_EQ(Load(Margined(kWhite)), ImageStatus::kOk);
  EXPECT_TRUE(NoneOf(image_.toggles.entries, &Toggle::ticked));
  EXPECT_FALSE(SetPaletteToggle(image_, 0, true) || SetPaletteToggle(image_, 11, true));
  EXPECT_EQ(image_.palette.entries[0], kWhite);
}

TEST_F(PalettePanel, SwapTurnsThePreviewOffFirst) {
  ASSERT_EQ(Load(Margined(kWhite, KnownColourPaints())), ImageStatus::kOk);
  SetPoisonPreview(image_, true);
  ASSERT_NE(image_.displayed, image_.loaded);
  SetPaletteToggle(image_, 6, true);
  EXPECT_TRUE(SetPaletteToggle(image_, 10, true));
  EXPECT_FALSE(image_.toggles.preview.ticked);
  EXPECT_EQ(image_.displayed, image_.loaded);
}

}  // namespace
}  // namespace kavelin::image::testing
