#include "patch/sprite_tiles.hpp"

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "image/sprite_cells.hpp"

namespace kavelin::patch {
namespace {

using image::Colour;
using image::Raster;
using image::Rgb;
using image::SpritePalette;

TEST(SpriteTileTable, CoversTheCellsExactlyOnce) {
  std::set<std::pair<int, int>> distinct;
  std::vector<int> covered(200 * 200, 0);
  for (const auto& [x, y] : kSpriteTileTable) {
    distinct.insert({x, y});
    // Inside one cell, at a multiple of 8 from its corner.
    int cells = 0;
    for (const auto& cell : image::kSpriteCells) {
      if (x >= cell.x && y >= cell.y && x + 8 <= cell.x + cell.w && y + 8 <= cell.y + cell.h &&
          (x - cell.x) % 8 == 0 && (y - cell.y) % 8 == 0) {
        ++cells;
      }
    }
    EXPECT_EQ(cells, 1) << "tile at " << x << "," << y;
    for (int dy = 0; dy < 8; ++dy) {
      for (int dx = 0; dx < 8; ++dx)
        ++covered[static_cast<std::size_t>((y + dy) * 200 + x + dx)];
    }
  }
  EXPECT_EQ(distinct.size(), kTileCount);

  int inCells = 0;
  for (const auto& cell : image::kSpriteCells) {
    for (int y = cell.y; y < cell.y + cell.h; ++y) {
      for (int x = cell.x; x < cell.x + cell.w; ++x) {
        EXPECT_EQ(covered[static_cast<std::size_t>(y * 200 + x)], 1) << x << "," << y;
        covered[static_cast<std::size_t>(y * 200 + x)] = 0;
        ++inCells;
      }
    }
  }
  EXPECT_EQ(inCells, 14208);
  // Nothing outside the cells is read.
  EXPECT_EQ(std::count(covered.begin(), covered.end(), 0), static_cast<long>(covered.size()));
}

std::array<std::uint8_t, 64> Grid(auto indexAt) {
  std::array<std::uint8_t, 64> g{};
  for (std::size_t r = 0; r < 8; ++r) {
    for (std::size_t c = 0; c < 8; ++c)
      g[r * 8 + c] = static_cast<std::uint8_t>(indexAt(c, r));
  }
  return g;
}

std::array<std::uint8_t, 32> Repeat(std::array<std::uint8_t, 4> quad) {
  std::array<std::uint8_t, 32> out{};
  for (std::size_t i = 0; i < 16; i += 2) {
    out[i] = quad[0];
    out[i + 1] = quad[1];
    out[16 + i] = quad[2];
    out[16 + i + 1] = quad[3];
  }
  return out;
}

TEST(EncodeTile, PlanarExamples) {
  EXPECT_EQ(EncodeTile(Grid([](auto, auto) { return 5; })), Repeat({0xFF, 0x00, 0xFF, 0x00}));
  EXPECT_EQ(EncodeTile(Grid([](auto c, auto) { return c; })), Repeat({0x55, 0x33, 0x0F, 0x00}));
  std::array<std::uint8_t, 32> corner{};
  corner[0] = corner[1] = corner[16] = corner[17] = 0x80;
  EXPECT_EQ(EncodeTile(Grid([](auto c, auto r) { return c == 0 && r == 0 ? 15 : 0; })), corner);
}

constexpr Colour kRed = Rgb(255, 0, 0);
constexpr Colour kBlack = Rgb(0, 0, 0);
constexpr Colour kWhite = Rgb(255, 255, 255);

TEST(PaletteWords, FixedEntriesReservedBlackAndEmpty) {
  SpritePalette palette;
  palette.entries[0] = kWhite;
  palette.entries[1] = kRed;  // never written: entry 1 is the game's own colour
  palette.entries[3] = kBlack;
  palette.entries[4] = Rgb(8, 16, 24);
  const auto words = PaletteWords(palette);
  EXPECT_EQ(words[0], 0x7FFF);
  EXPECT_EQ(words[1], 0x6BDE);
  EXPECT_EQ(words[2], 0x18C6);  // empty, still fixed
  EXPECT_EQ(words[3], 0x0000);
  EXPECT_EQ(words[4], 0x0C41);
  for (std::size_t i = 5; i < 16; ++i)
    EXPECT_EQ(words[i], 0);
  const auto graphics = EncodeSpriteTiles(Raster(176, 132, kWhite), 0, palette);
  EXPECT_EQ(graphics.palette[2], 0xDE);
  EXPECT_EQ(graphics.palette[3], 0x6B);
  EXPECT_EQ(graphics.palette[8], 0x41);
  EXPECT_EQ(graphics.palette[9], 0x0C);
}

// The index of pixel (c, r) of tile n, recovered from its planes.
int IndexInTile(const SpriteGraphics& g, std::size_t n, int c, int r) {
  const auto* t = &g.tiles[n * 32];
  int index = 0;
  for (int plane = 0; plane < 4; ++plane) {
    const std::uint8_t byte = t[(plane / 2) * 16 + r * 2 + plane % 2];
    index |= ((byte >> (7 - c)) & 1) << plane;
  }
  return index;
}

TEST(EncodeSpriteTiles, PixelsTakeTheLowestEntryButNeverTheReservedBlack) {
  SpritePalette palette;
  palette.entries[0] = kWhite;
  palette.entries[1] = kRed;
  palette.entries[3] = kBlack;
  palette.entries[9] = kBlack;
  Raster raster(176, 132, kWhite);
  raster.Set(1, 1, kBlack);
  raster.Set(2, 1, kRed);
  const auto g = EncodeSpriteTiles(raster, 0, palette);
  EXPECT_EQ(IndexInTile(g, 0, 0, 0), 9);
  EXPECT_EQ(IndexInTile(g, 0, 1, 0), 1);
  EXPECT_EQ(IndexInTile(g, 0, 2, 0), 0);
}

TEST(EncodeSpriteTiles, OriginOffsetShiftsEveryRead) {
  SpritePalette palette;
  palette.entries[0] = kWhite;
  palette.entries[5] = kRed;
  // Without the margin: tile 0 starts at pixel (0, 0).
  Raster raster(175, 131, kWhite);
  raster.Set(0, 0, kRed);
  EXPECT_EQ(IndexInTile(EncodeSpriteTiles(raster, -1, palette), 0, 0, 0), 5);
  EXPECT_EQ(IndexInTile(EncodeSpriteTiles(raster, 0, palette), 0, 0, 0), 0);
}

TEST(EncodeSpriteTiles, UnmatchedPixelsKeepTheGridCellOfThePreviousTile) {
  SpritePalette palette;
  palette.entries[0] = kWhite;
  palette.entries[7] = kRed;
  Raster raster(176, 132, Rgb(1, 2, 3));  // matches no entry
  const auto [x0, y0] = kSpriteTileTable[0];
  raster.Set(x0 + 3, y0 + 2, kRed);
  const auto g = EncodeSpriteTiles(raster, 0, palette);
  // Tile 0: all unmatched but one; the grid started at 0.
  EXPECT_EQ(IndexInTile(g, 0, 3, 2), 7);
  EXPECT_EQ(IndexInTile(g, 0, 0, 0), 0);
  // Every later tile is unmatched and repeats tile 0's grid.
  for (std::size_t n = 1; n < kTileCount; ++n) {
    ASSERT_TRUE(std::equal(g.tiles.begin(), g.tiles.begin() + 32, g.tiles.begin() + n * 32)) << n;
  }
}

TEST(EncodeSpriteTiles, CellsBeyondTheImageReadTheBackground) {
  SpritePalette palette;
  palette.entries[0] = kWhite;
  palette.entries[4] = image::kBackground;
  const Raster small(100, 132, kWhite);  // cells right of x = 100 lie off the image
  const auto g = EncodeSpriteTiles(small, 0, palette);
  EXPECT_EQ(IndexInTile(g, 15, 0, 0), 4);  // tile 15 at (151, 9)
  EXPECT_EQ(IndexInTile(g, 0, 0, 0), 0);
}

}  // namespace
}  // namespace kavelin::patch
