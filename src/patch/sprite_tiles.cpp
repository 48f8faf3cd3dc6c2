#include "patch/sprite_tiles.hpp"

#include <unordered_map>

namespace kavelin::patch {

std::array<std::uint16_t, image::kPaletteSize> PaletteWords(const image::SpritePalette& palette) {
  std::array<std::uint16_t, image::kPaletteSize> words{};
  for (int i = 0; i < image::kPaletteSize; ++i) {
    if (i == 1) {
      words[1] = 0x6BDE;
    } else if (i == 2) {
      words[2] = 0x18C6;
    } else if (!palette.IsEmpty(i)) {
      words[static_cast<std::size_t>(i)] =
          image::SnesForm(palette.entries[static_cast<std::size_t>(i)]);
    }
  }
  return words;
}

std::array<std::uint8_t, kTileBytes> EncodeTile(const std::array<std::uint8_t, 64>& indices) {
  std::array<std::uint8_t, kTileBytes> out{};
  for (std::size_t r = 0; r < 8; ++r) {
    for (std::size_t plane = 0; plane < 4; ++plane) {
      unsigned byte = 0;
      for (std::size_t c = 0; c < 8; ++c) {
        byte = (byte << 1) | ((indices[r * 8 + c] >> plane) & 1u);
      }
      // Planes 0 and 1 interleaved by row fill the first 16 bytes, planes 2 and 3 the rest.
      out[(plane / 2) * 16 + r * 2 + plane % 2] = static_cast<std::uint8_t>(byte);
    }
  }
  return out;
}

SpriteGraphics EncodeSpriteTiles(const image::Raster& raster, int originOffset,
                                 const image::SpritePalette& palette) {
  SpriteGraphics out;
  const auto words = PaletteWords(palette);
  for (std::size_t i = 0; i < words.size(); ++i) {
    out.palette[2 * i] = static_cast<std::uint8_t>(words[i] & 0xFF);
    out.palette[2 * i + 1] = static_cast<std::uint8_t>(words[i] >> 8);
  }

  // A template has at most 16 colours; look each up once rather than scanning the palette
  // for every one of the 14,208 pixels.
  std::unordered_map<image::Colour, int> indexOf;
  const auto lookup = [&](image::Colour c) {
    const auto [it, inserted] = indexOf.try_emplace(c, -1);
    if (inserted) it->second = palette.IndexOf(c).value_or(-1);
    return it->second;
  };

  std::array<std::uint8_t, 64> grid{};
  for (std::size_t n = 0; n < kTileCount; ++n) {
    const auto [x, y] = kSpriteTileTable[n];
    for (int r = 0; r < 8; ++r) {
      for (int c = 0; c < 8; ++c) {
        const int index = lookup(raster.At(x + c + originOffset, y + r + originOffset));
        if (index >= 0)
          grid[static_cast<std::size_t>(r * 8 + c)] = static_cast<std::uint8_t>(index);
      }
    }
    const auto tile = EncodeTile(grid);
    std::copy(tile.begin(), tile.end(),
              out.tiles.begin() + static_cast<std::ptrdiff_t>(n * kTileBytes));
  }
  return out;
}

}  // namespace kavelin::patch
