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
  return raster;
}

}  // namespace kavelin::image
