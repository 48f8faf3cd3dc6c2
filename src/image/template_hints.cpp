#include "image/template_hints.hpp"

#include <algorithm>

namespace kavelin::image {

std::optional<EdgeHint> CellsPastEdge(const TemplateImage& image) {
  if (image.pictureWidth <= 0 || image.pictureHeight <= 0) return std::nullopt;
  const int offset = image.originOffset;
  EdgeHint hint;
  hint.pictureWidth = image.pictureWidth;
  hint.pictureHeight = image.pictureHeight;
  for (std::size_t n = 0; n < kSpriteCells.size(); ++n) {
    const Cell& cell = kSpriteCells[n];
    const int left = cell.x + offset, top = cell.y + offset;
    const int right = left + cell.w, bottom = top + cell.h;  // exclusive
    hint.neededWidth = std::max(hint.neededWidth, right);
    hint.neededHeight = std::max(hint.neededHeight, bottom);
    // The cells never reach left of or above the picture's first pixel, so only the right
    // and bottom edges can cut them.
    const int inWidth = std::clamp(image.pictureWidth - left, 0, cell.w);
    const int inHeight = std::clamp(image.pictureHeight - top, 0, cell.h);
    const int outside = cell.w * cell.h - inWidth * inHeight;
    if (outside == 0) continue;
    hint.backgroundPixels += outside;
    hint.cells.push_back(static_cast<int>(n) + 1);
    hint.cellRects.push_back({left, top, cell.w, cell.h});
  }
  if (hint.cells.empty()) return std::nullopt;
  return hint;
}

std::optional<ColourOverflow> ColourOverflowOf(const TemplateImage& image) {
  if (!image.overflowPixel) return std::nullopt;
  ColourOverflow overflow;
  overflow.at = *image.overflowPixel;
  // The ring is drawn on the displayed raster only; the loaded one keeps the colours.
  const Raster& picture = image.loaded;
  overflow.colour = picture.At(overflow.at.x, overflow.at.y);
  std::vector<Colour> colours;
  const int offset = image.originOffset;
  for (const Cell& cell : kSpriteCells) {
    for (int y = cell.y + offset; y < cell.y + cell.h + offset; ++y) {
      for (int x = cell.x + offset; x < cell.x + cell.w + offset; ++x)
        colours.push_back(picture.At(x, y));
    }
  }
  std::sort(colours.begin(), colours.end());
  overflow.colours =
      static_cast<int>(std::unique(colours.begin(), colours.end()) - colours.begin());
  return overflow;
}

}  // namespace kavelin::image
