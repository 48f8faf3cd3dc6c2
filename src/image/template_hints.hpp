// What a template hides from a player who only looks at it: cells past the picture's
// edge, and, when it holds too many colours, how many and which pixel did not fit. Hints
// only: the road's checks, boxes and bytes never depend on them.
#pragma once

#include <optional>
#include <vector>

#include "image/raster.hpp"
#include "image/sprite_cells.hpp"
#include "image/template_image.hpp"

namespace kavelin::image {

// Cell pixels outside the picture, which read the picture area's background colour.
struct EdgeHint {
  int pictureWidth = 0, pictureHeight = 0;
  // The size the cells need under the picture's origin rule.
  int neededWidth = 0, neededHeight = 0;
  int backgroundPixels = 0;
  // The cells that cross the edge (1 to 23, in scan order) and where they stand on the
  // picture, origin offset applied.
  std::vector<int> cells;
  std::vector<Cell> cellRects;
};
// None when no picture is shown or every cell lies on it.
std::optional<EdgeHint> CellsPastEdge(const TemplateImage& image);

// The distinct colours of all cell pixels (the backdrop and any background past the edge
// included) against the palette's room for them.
inline constexpr int kTemplateColourRoom = 15;  // 16 entries less the reserved black
struct ColourOverflow {
  int colours = 0;
  Point at;  // the first pixel the scan found no entry for, in the picture's coordinates
  Colour colour = 0;
};
// None unless the last load stopped at a colour with no free entry.
std::optional<ColourOverflow> ColourOverflowOf(const TemplateImage& image);

}  // namespace kavelin::image
