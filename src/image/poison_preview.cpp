#include "image/poison_preview.hpp"

#include "image/sprite_cells.hpp"

namespace kavelin::image {

void SetPoisonPreview(TemplateImage& image, bool ticked) {
  Toggle& box = image.toggles.preview;
  if (ticked && !box.enabled) return;
  if (box.ticked == ticked) return;
  box.ticked = ticked;
  if (image.Loaded()) UpdatePoisonPreview(image);
}

void UpdatePoisonPreview(TemplateImage& image) {
  if (!image.toggles.preview.ticked) {
    image.displayed = image.loaded;
    return;
  }
  const int offset = image.originOffset;
  for (const Cell& cell : kSpriteCells) {
    for (int dx = 0; dx < cell.w; ++dx) {
      for (int dy = 0; dy < cell.h; ++dy) {
        const int x = cell.x + dx + offset, y = cell.y + dy + offset;
        const Colour c = image.displayed.At(x, y);
        // An empty entry holds a value no pixel has, so it recolours nothing.
        for (const PoisonColour& poison : kPoisonColours) {
          if (c == image.palette.entries[static_cast<std::size_t>(poison.entry)]) {
            image.displayed.Set(x, y, poison.shownAs);
            break;
          }
        }
      }
    }
  }
}

}  // namespace kavelin::image
