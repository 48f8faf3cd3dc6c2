// The sprite as the game will draw it: the tiles the patch carries, in the colours of its
// palette words. Built from the encoder's own output, so that it cannot show anything the
// patch does not hold.
#pragma once

#include <array>
#include <cstdint>

#include "image/palette.hpp"
#include "image/raster.hpp"
#include "image/template_image.hpp"
#include "patch/sprite_tiles.hpp"

namespace kavelin::patch {

// The picture is the template's layout: every cell at its place, the gaps and margins
// showing the background.
inline constexpr int kPreviewWidth = 176;
inline constexpr int kPreviewHeight = 132;
// Side of one square of the checkerboard, in pixels.
inline constexpr int kCheckerSquare = 4;
inline constexpr image::Colour kCheckerLight = image::Rgb(204, 204, 204);
inline constexpr image::Colour kCheckerDark = image::Rgb(153, 153, 153);

enum class PreviewBackground { kBlack, kWhite, kCheckerboard };

// A palette word as a colour: each 5-bit channel widened to 8 bits by repeating its top
// bits in the low ones, so that 31 gives 255 and 0 gives 0.
constexpr image::Colour WidenSnesColour(std::uint16_t word) {
  const auto widen = [](unsigned v) { return static_cast<std::uint8_t>(v << 3 | v >> 2); };
  return image::Rgb(widen(word & 31u), widen((word >> 5) & 31u), widen((word >> 10) & 31u));
}

// What the background shows at a pixel of the picture.
image::Colour BackgroundAt(PreviewBackground background, int x, int y);

// Draws the 222 tiles at their places. Index 0 is the sprite's transparent colour, as the
// game treats it: those pixels show the background, like the gaps between the cells.
image::Raster DrawGamePreview(const std::array<std::uint16_t, image::kPaletteSize>& paletteWords,
                              const std::array<std::uint8_t, kTileDataBytes>& tiles,
                              PreviewBackground background);

// The preview of the patch that would be written now: the tiles and palette words that
// EncodeSpriteTiles gives for the template, its palette and its swaps as they stand. The
// poison-state look is left out, as the writer leaves it out.
image::Raster GamePreview(const image::TemplateImage& templateImage, PreviewBackground background);

// The preview enlarged pixel by pixel, as it is shown and saved: ×1 to ×6.
inline constexpr int kMinPreviewZoom = 1;
inline constexpr int kMaxPreviewZoom = 6;
image::Raster EnlargePreview(const image::Raster& raster, int zoom);

}  // namespace kavelin::patch
