#include "image/blank_template.hpp"

#include "image/sprite_cells.hpp"

namespace kavelin::image {

Raster BlankTemplate() {
  Raster raster(kBlankTemplateWidth, kBlankTemplateHeight, kBlankGaps);
  for (const Cell& cell : kSpriteCells) {
    for (int y = cell.y; y < cell.y + cell.h; ++y) {
      for (int x = cell.x; x < cell.x + cell.w; ++x)
        raster.Set(x, y, kBlankBackdrop);
    }
  }
  // The layout has the margin, so cell coordinates are the picture's own.
  const Colour seeds[] = {kBlankEntry1, kBlankEntry2, kBlankPoison[0], kBlankPoison[1],
                          kBlankPoison[2]};
  for (int i = 0; i < 5; ++i) {
    const SeedPixel seed = SeedOf(i < 2 ? i + 1 : i + 4);
    raster.Set(seed.x, seed.y, seeds[i]);
  }
  return raster;
}

}  // namespace kavelin::image
