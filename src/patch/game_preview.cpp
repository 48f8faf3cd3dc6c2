#include "patch/game_preview.hpp"

#include <algorithm>

#include "patch/template_export.hpp"

namespace kavelin::patch {

image::Colour BackgroundAt(PreviewBackground background, int x, int y) {
  switch (background) {
    case PreviewBackground::kBlack:
      return image::Rgb(0, 0, 0);
    case PreviewBackground::kWhite:
      return image::Rgb(255, 255, 255);
    case PreviewBackground::kCheckerboard:
      return (x / kCheckerSquare + y / kCheckerSquare) % 2 == 0 ? kCheckerLight : kCheckerDark;
  }
  return image::Rgb(0, 0, 0);
}

image::Raster DrawGamePreview(const std::array<std::uint16_t, image::kPaletteSize>& paletteWords,
                              const std::array<std::uint8_t, kTileDataBytes>& tiles,
                              PreviewBackground background) {
  image::Raster out(kPreviewWidth, kPreviewHeight);
  for (int y = 0; y < kPreviewHeight; ++y) {
    for (int x = 0; x < kPreviewWidth; ++x)
      out.Set(x, y, BackgroundAt(background, x, y));
  }
  std::array<image::Colour, image::kPaletteSize> colours{};
  for (std::size_t i = 0; i < colours.size(); ++i)
    colours[i] = WidenSnesColour(paletteWords[i]);
  for (std::size_t n = 0; n < kTileCount; ++n) {
    const auto indices = DecodeTile(&tiles[n * kTileBytes]);
    const auto [x, y] = kSpriteTileTable[n];
    for (int r = 0; r < 8; ++r) {
      for (int c = 0; c < 8; ++c) {
        const std::uint8_t index = indices[static_cast<std::size_t>(r * 8 + c)];
        if (index != 0) out.Set(x + c, y + r, colours[index]);
      }
    }
  }
  return out;
}

image::Raster GamePreview(const image::TemplateImage& templateImage, PreviewBackground background) {
  // The create-patch road turns the poison preview off before the writer reads the raster,
  // which puts back the raster kept at load; read that one while the preview is on.
  const bool poisoned = templateImage.Loaded() && templateImage.toggles.preview.ticked;
  const image::Raster& raster = poisoned ? templateImage.loaded : templateImage.displayed;
  const SpriteGraphics graphics =
      EncodeSpriteTiles(raster, templateImage.originOffset, templateImage.palette);
  std::array<std::uint16_t, image::kPaletteSize> words{};
  for (std::size_t i = 0; i < words.size(); ++i) {
    words[i] =
        static_cast<std::uint16_t>(graphics.palette[2 * i] | graphics.palette[2 * i + 1] << 8);
  }
  return DrawGamePreview(words, graphics.tiles, background);
}

image::Raster EnlargePreview(const image::Raster& raster, int zoom) {
  zoom = std::clamp(zoom, kMinPreviewZoom, kMaxPreviewZoom);
  image::Raster out(raster.Width() * zoom, raster.Height() * zoom);
  for (int y = 0; y < out.Height(); ++y) {
    for (int x = 0; x < out.Width(); ++x)
      out.Set(x, y, raster.At(x / zoom, y / zoom));
  }
  return out;
}

}  // namespace kavelin::patch
