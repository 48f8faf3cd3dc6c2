#include "patch/template_export.hpp"

#include <algorithm>

#include "image/palette_panel.hpp"
#include "image/template_image.hpp"

namespace kavelin::patch {
namespace {

// The SNES form keeps five bits of each channel; the low three are free to tell apart
// entries that share a word. The k-th colour of a word sets them from k's three octal
// digits.
image::Colour ColourOf(std::uint16_t word, unsigned k) {
  const unsigned r = (word & 31u) << 3, g = ((word >> 5) & 31u) << 3, b = ((word >> 10) & 31u) << 3;
  return image::Rgb(static_cast<std::uint8_t>(r | (k & 7u)),
                    static_cast<std::uint8_t>(g | ((k >> 3) & 7u)),
                    static_cast<std::uint8_t>(b | ((k >> 6) & 7u)));
}

// The gap colour: one the SNES form would never make, unlike every entry's colour.
constexpr image::Colour kGap = image::Rgb(255, 0, 255) | 0x070707;

}  // namespace

std::array<std::uint8_t, 64> DecodeTile(const std::uint8_t* tile) {
  std::array<std::uint8_t, 64> indices{};
  for (std::size_t r = 0; r < 8; ++r) {
    const unsigned planes[4] = {tile[r * 2], tile[r * 2 + 1], tile[16 + r * 2],
                                tile[16 + r * 2 + 1]};
    for (std::size_t c = 0; c < 8; ++c) {
      unsigned index = 0;
      for (unsigned b = 0; b < 4; ++b)
        index |= ((planes[b] >> (7 - c)) & 1u) << b;
      indices[r * 8 + c] = static_cast<std::uint8_t>(index);
    }
  }
  return indices;
}

ExportedTemplate ExportTemplate(const std::array<std::uint16_t, image::kPaletteSize>& words,
                                const std::array<std::uint8_t, kTileDataBytes>& tiles) {
  ExportedTemplate out;
  for (std::size_t i = 0; i < words.size(); ++i) {
    const auto shared =
        static_cast<unsigned>(std::count(words.begin(), words.begin() + i, words[i]));
    out.colours[i] = ColourOf(words[i], shared);
  }

  out.raster = image::Raster(kExportWidth, kExportHeight, kGap);
  for (std::size_t n = 0; n < kTileCount; ++n) {
    const auto indices = DecodeTile(&tiles[n * kTileBytes]);
    const auto [x, y] = kSpriteTileTable[n];
    for (int r = 0; r < 8; ++r) {
      for (int c = 0; c < 8; ++c) {
        out.raster.Set(x + c, y + r, out.colours[indices[static_cast<std::size_t>(r * 8 + c)]]);
      }
    }
  }

  // Extract as a load would, then swap each colour into the entry the patch gave it.
  image::TemplateImage loaded;
  loaded.displayed = out.raster;
  if (image::ExtractPalette(loaded) != image::ImageStatus::kOk) return out;
  for (int target = 0; target < image::kPaletteSize; ++target) {
    if (target == image::kReservedEntry) continue;
    const image::Colour wanted = out.colours[static_cast<std::size_t>(target)];
    const auto holder = loaded.palette.IndexOf(wanted);
    // A colour no pixel shows was never extracted; an entry the patch left empty has none.
    if (!holder || *holder == target || loaded.palette.IsEmpty(target)) continue;
    std::swap(loaded.palette.entries[static_cast<std::size_t>(target)],
              loaded.palette.entries[static_cast<std::size_t>(*holder)]);
    out.paletteSwaps.emplace_back(*holder, target);
  }
  return out;
}

}  // namespace kavelin::patch
