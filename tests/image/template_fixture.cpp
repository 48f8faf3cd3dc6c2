#include "template_fixture.hpp"

#include "image/sprite_cells.hpp"

namespace kavelin::image::testing {

Raster Margined(Colour cells, const std::vector<Paint>& paints, Colour gaps) {
  Raster raster(kMarginedWidth, kMarginedHeight, gaps);
  for (const Cell& cell : kSpriteCells) {
    for (int y = cell.y; y < cell.y + cell.h; ++y) {
      for (int x = cell.x; x < cell.x + cell.w; ++x)
        raster.Set(x, y, cells);
    }
  }
  for (const Paint& p : paints)
    raster.Set(p.x, p.y, p.c);
  return raster;
}

Raster WithoutMargin(const Raster& margined) {
  Raster raster(margined.Width() - 1, margined.Height() - 1);
  for (int y = 0; y < raster.Height(); ++y) {
    for (int x = 0; x < raster.Width(); ++x)
      raster.Set(x, y, margined.At(x + 1, y + 1));
  }
  return raster;
}

const std::vector<Colour> kKnownEntries = {
    kWhite,       Rgb(8, 16, 24),        Rgb(255, 0, 0),
    kBlack,       Rgb(0x12, 0x34, 0x56), Rgb(0xAB, 0xCD, 0xEF),
    kBlack,       Rgb(16, 32, 48),       Rgb(248, 248, 248),
    Rgb(7, 7, 7), Rgb(0, 255, 0),        Rgb(0, 0, 255),
    kEmptyEntry,  kEmptyEntry,           kEmptyEntry,
    kEmptyEntry,
};

std::vector<Paint> KnownColourPaints() {
  return {
      {10, 13, Rgb(8, 16, 24)},        // seeds entry 1
      {11, 32, Rgb(255, 0, 0)},        // entry 2
      {13, 15, kBlack},                // entry 6: black takes an ordinary entry too
      {13, 16, Rgb(16, 32, 48)},       // entry 7
      {13, 17, Rgb(248, 248, 248)},    // entry 8
      {6, 1, Rgb(0xAB, 0xCD, 0xEF)},   // column 5 of cell 0: entry 5
      {5, 31, Rgb(0x12, 0x34, 0x56)},  // column 4, lower, but scanned first: entry 4
      {20, 20, kBlack},                // already entry 6
      {30, 10, Rgb(7, 7, 7)},          // cell 1: entry 9
      {82, 115, Rgb(0, 0, 255)},       // cell 22, its last pixel: entry 11
      {174, 98, Rgb(0, 255, 0)},       // cell 19, before cell 22: entry 10
      {25, 40, Rgb(1, 2, 3)},          // a gap: never counted
      {170, 120, Rgb(4, 5, 6)},        // outside every cell
  };
}

std::vector<Paint> FifteenColourPaints(bool withBlack) {
  std::vector<Paint> paints = {
      {10, 13, Rgb(1, 0, 0)}, {11, 32, Rgb(2, 0, 0)}, {13, 15, Rgb(3, 0, 0)},
      {13, 16, Rgb(4, 0, 0)}, {13, 17, Rgb(5, 0, 0)},
  };
  // Nine more, all in cells 0 and 1 so that any later colour is the sixteenth; with white
  // that makes fifteen.
  const Point places[] = {{2, 2},   {3, 2},   {4, 2},   {5, 2},  {6, 2},
                          {27, 10}, {28, 10}, {29, 10}, {30, 10}};
  for (int i = 0; i < 9; ++i) {
    const Colour c = withBlack && i == 4 ? kBlack : Rgb(0, static_cast<std::uint8_t>(10 + i), 0);
    paints.push_back({places[i].x, places[i].y, c});
  }
  return paints;
}

}  // namespace kavelin::image::testing
