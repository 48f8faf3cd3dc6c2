// Drawing a patch's sprite back into a template, so that a character whose template was
// lost or changed can be edited and made again.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "image/palette.hpp"
#include "image/raster.hpp"
#include "patch/sprite_tiles.hpp"
#include "sheet/sheet_file.hpp"

namespace kavelin::patch {

inline constexpr int kExportWidth = 176;
inline constexpr int kExportHeight = 132;

struct ExportedTemplate {
  // The 222 tiles in their cells, in the layout with the one-pixel margin; the gaps are a
  // colour no entry uses.
  image::Raster raster;
  // The colour drawn for each palette index: its SNES form is the patch's word, and indices
  // that share a word differ in the low bits the SNES form drops.
  std::array<image::Colour, image::kPaletteSize> colours{};
  // Swaps that put the entries back in the patch's order after a fresh extraction from
  // `raster`; with them, making a patch from the raster gives the original bytes.
  std::vector<sheet::PaletteSwap> paletteSwaps;
};

ExportedTemplate ExportTemplate(const std::array<std::uint16_t, image::kPaletteSize>& paletteWords,
                                const std::array<std::uint8_t, kTileDataBytes>& tiles);

// The 8 x 8 palette indices of one tile (row by row, left to right): EncodeTile undone.
std::array<std::uint8_t, 64> DecodeTile(const std::uint8_t* tile);

}  // namespace kavelin::patch
