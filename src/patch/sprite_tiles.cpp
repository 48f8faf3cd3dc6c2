#include "patch/sprite_tiles.hpp"

#include <algorithm>

namespace kavelin::patch {

std::array<std::uint16_t, image::kPaletteSize> PaletteWords(const image::SpritePalette& palette) {
  std::array<std::uint16_t, image::kPaletteSize> words{};
  for (int i = 0; i < image::kPaletteSize; ++i) {
    if (IsFixedEntry(i)) {
      words[static_cast<std::size_t>(i)] = kFixedEntryWords[static_cast<std::size_t>(i)];
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
    // The row's eight indices, one to a byte, leftmost in the lowest byte.
    std::uint64_t row = 0;
    for (std::size_t c = 0; c < 8; ++c)
      row |= static_cast<std::uint64_t>(indices[r * 8 + c] & 0x0F) << (8 * c);
    // Bit b of each pixel's index goes to plane b, the leftmost pixel to the high bit: the
    // multiply gathers the low bit of every byte into the top byte in that order.
    const auto plane = [row](unsigned b) {
      return static_cast<std::uint8_t>(((row >> b) & 0x0101010101010101u) * 0x8040201008040201u >>
                                       56);
    };
    // Planes 0 and 1 interleaved by row fill the first 16 bytes, planes 2 and 3 the rest.
    out[r * 2] = plane(0);
    out[r * 2 + 1] = plane(1);
    out[16 + r * 2] = plane(2);
    out[16 + r * 2 + 1] = plane(3);
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

  // A template has at most 16 colours and neighbouring pixels mostly share one: remember
  // the last colour, and each colour's entry in a small table keyed by the colour, so the
  // palette is searched once per colour.
  struct Known {
    image::Colour colour;
    int index;  // -1: no entry holds it
  };
  constexpr std::size_t kSlots = 64;
  std::array<Known, kSlots> known;
  known.fill({image::kEmptyEntry, -1});  // no pixel has the empty marker
  Known last{image::kEmptyEntry, -1};
  const auto lookup = [&](image::Colour c) {
    if (c == last.colour) return last.index;
    Known& slot = known[(c * 0x9E3779B1u) >> 26];
    if (slot.colour != c) slot = {c, palette.IndexOf(c).value_or(-1)};
    last = slot;
    return last.index;
  };

  const int width = raster.Width(), height = raster.Height();
  const image::Colour* pixels = raster.Pixels().data();
  std::array<std::uint8_t, 64> grid{};
  std::array<image::Colour, 8> edge{};
  for (std::size_t n = 0; n < kTileCount; ++n) {
    const int x = kSpriteTileTable[n].x + originOffset;
    for (int r = 0; r < 8; ++r) {
      const int y = kSpriteTileTable[n].y + r + originOffset;
      const image::Colour* row = edge.data();
      if (y >= 0 && y < height && x >= 0 && x + 8 <= width) {
        row = pixels + static_cast<std::ptrdiff_t>(y) * width + x;
      } else {
        for (int c = 0; c < 8; ++c)
          edge[static_cast<std::size_t>(c)] = raster.At(x + c, y);
      }
      std::uint8_t* cells = grid.data() + static_cast<std::size_t>(r) * 8;
      // Most rows are one colour, most often the last one seen.
      if (std::all_of(row, row + 8, [&](image::Colour c) { return c == last.colour; })) {
        if (last.index >= 0) std::fill_n(cells, 8, static_cast<std::uint8_t>(last.index));
        continue;
      }
      for (std::size_t c = 0; c < 8; ++c) {
        // A colour no entry holds leaves the cell as the tile before had it.
        if (const int index = lookup(row[c]); index >= 0)
          cells[c] = static_cast<std::uint8_t>(index);
      }
    }
    const auto tile = EncodeTile(grid);
    std::copy(tile.begin(), tile.end(),
              out.tiles.begin() + static_cast<std::ptrdiff_t>(n * kTileBytes));
  }
  return out;
}

}  // namespace kavelin::patch
