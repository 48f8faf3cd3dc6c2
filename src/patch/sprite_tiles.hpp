// The sprite as the patch carries it: 16 palette words and 222 tiles of 8 x 8 pixels in
// the SNES 4-bit planar form.
#pragma once

#include <array>
#include <cstdint>

#include "image/palette.hpp"
#include "image/raster.hpp"

namespace kavelin::patch {

struct TilePosition {
  int x, y;  // top-left pixel in the template, before the origin offset
};

inline constexpr std::size_t kTileCount = 222;
inline constexpr std::size_t kTileBytes = 32;
// Each palette entry is one little-endian word.
inline constexpr std::size_t kPaletteBytes = 2 * image::kPaletteSize;
inline constexpr std::size_t kTileDataBytes = kTileCount * kTileBytes;

// The tiles in the order the patch stores them. Together they cover the 23 sprite cells
// exactly; the rows of the cells are taken interleaved, not cell by cell.
inline constexpr std::array<TilePosition, kTileCount> kSpriteTileTable = {{
    {1, 1},    {9, 1},    {17, 1},   {26, 9},   {34, 9},   {42, 9},   {51, 9},   {59, 9},
    {67, 9},   {76, 1},   {84, 1},   {92, 1},   {101, 9},  {109, 9},  {117, 9},  {151, 9},
    {1, 9},    {9, 9},    {17, 9},   {26, 17},  {34, 17},  {42, 17},  {51, 17},  {59, 17},
    {67, 17},  {76, 9},   {84, 9},   {92, 9},   {101, 17}, {109, 17}, {117, 17}, {151, 17},
    {1, 17},   {9, 17},   {17, 17},  {26, 25},  {34, 25},  {42, 25},  {51, 25},  {59, 25},
    {67, 25},  {76, 17},  {84, 17},  {92, 17},  {101, 25}, {109, 25}, {117, 25}, {151, 25},
    {1, 25},   {9, 25},   {17, 25},  {26, 42},  {34, 42},  {42, 42},  {76, 34},  {84, 34},
    {92, 34},  {76, 25},  {84, 25},  {92, 25},  {126, 9},  {134, 9},  {142, 9},  {159, 9},
    {1, 34},   {9, 34},   {17, 34},  {26, 50},  {34, 50},  {42, 50},  {76, 42},  {84, 42},
    {92, 42},  {101, 34}, {109, 34}, {117, 34}, {126, 17}, {134, 17}, {142, 17}, {159, 17},
    {1, 42},   {9, 42},   {17, 42},  {26, 58},  {34, 58},  {42, 58},  {76, 50},  {84, 50},
    {92, 50},  {101, 42}, {109, 42}, {117, 42}, {126, 25}, {134, 25}, {142, 25}, {159, 25},
    {1, 50},   {9, 50},   {17, 50},  {51, 50},  {59, 50},  {67, 50},  {76, 58},  {84, 58},
    {92, 58},  {101, 50}, {109, 50}, {117, 50}, {126, 42}, {134, 42}, {142, 42}, {84, 75},
    {1, 58},   {9, 58},   {17, 58},  {51, 58},  {59, 58},  {67, 58},  {126, 58}, {134, 58},
    {142, 58}, {101, 58}, {109, 58}, {117, 58}, {126, 50}, {134, 50}, {142, 50}, {151, 91},
    {126, 67}, {134, 67}, {142, 67}, {1, 67},   {9, 67},   {17, 67},  {51, 67},  {59, 67},
    {67, 67},  {26, 67},  {34, 67},  {42, 67},  {151, 75}, {159, 75}, {167, 75}, {159, 91},
    {126, 75}, {134, 75}, {142, 75}, {1, 75},   {9, 75},   {17, 75},  {51, 75},  {59, 75},
    {67, 75},  {26, 75},  {34, 75},  {42, 75},  {151, 83}, {159, 83}, {167, 83}, {167, 91},
    {126, 83}, {134, 83}, {142, 83}, {1, 83},   {9, 83},   {17, 83},  {51, 83},  {59, 83},
    {67, 83},  {26, 83},  {34, 83},  {42, 83},  {51, 100}, {59, 100}, {67, 100}, {75, 100},
    {126, 91}, {134, 91}, {142, 91}, {1, 91},   {9, 91},   {17, 91},  {51, 91},  {59, 91},
    {67, 91},  {26, 91},  {34, 91},  {42, 91},  {51, 108}, {59, 108}, {67, 108}, {75, 108},
    {51, 42},  {59, 42},  {67, 42},  {101, 67}, {109, 67}, {117, 67}, {101, 75}, {109, 75},
    {117, 75}, {101, 83}, {109, 83}, {117, 83}, {101, 91}, {109, 91}, {117, 91}, {1, 116},
    {9, 116},  {17, 116}, {1, 124},  {9, 124},  {17, 124}, {26, 116}, {34, 116}, {42, 116},
    {26, 124}, {34, 124}, {42, 124}, {76, 75},  {76, 83},  {84, 83},
}};

struct SpriteGraphics {
  std::array<std::uint8_t, kPaletteBytes> palette{};
  std::array<std::uint8_t, kTileDataBytes> tiles{};
};

using image::IsFixedEntry;
using image::kFixedEntryWords;

// The words the patch stores for the palette: entries 1 and 2 are always the game's own
// two colours, entry 3 and empty entries are 0, the others their SNES form.
std::array<std::uint16_t, image::kPaletteSize> PaletteWords(const image::SpritePalette& palette);

// Encodes the displayed raster. A pixel whose colour no entry holds keeps the index the
// same grid cell had in the previous tile (0 in the first): the grid is not cleared between
// tiles.
SpriteGraphics EncodeSpriteTiles(const image::Raster& raster, int originOffset,
                                 const image::SpritePalette& palette);

// One tile's 32 bytes from its 8 x 8 palette indices (row by row, left to right).
std::array<std::uint8_t, kTileBytes> EncodeTile(const std::array<std::uint8_t, 64>& indices);

}  // namespace kavelin::patch
