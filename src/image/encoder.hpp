// Writing a raster as an image file in the format its name asks for: GIF, BMP or PNG.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

#include "image/raster.hpp"

namespace kavelin::image {

// The file's bytes for a name ending in .gif, .bmp or .png (any case); empty for another
// extension or a raster that cannot be written so (a GIF holds at most 256 colours).
// Rasters of at most 256 colours are written with a colour table (8-bit BMP, palette PNG),
// which keeps templates small and opens in every paint program; others as 24-bit colour.
std::optional<std::vector<std::uint8_t>> EncodeImageFile(const Raster& raster,
                                                         const std::filesystem::path& name);

// The raster's colours in the order first met, and each pixel's index among them; empty
// past 256 colours.
struct IndexedColours {
  std::vector<Colour> colours;
  std::vector<std::uint8_t> indices;
};
std::optional<IndexedColours> IndexColours(const Raster& raster);

// Each format on its own; empty for a raster without pixels, or too large for the format.
// A GIF has one frame, without transparency, and needs at most 256 colours.
std::optional<std::vector<std::uint8_t>> EncodeGif(const Raster& raster);
std::optional<std::vector<std::uint8_t>> EncodeBmp(const Raster& raster);
std::optional<std::vector<std::uint8_t>> EncodePng(const Raster& raster);

// A GIF image's data: the minimum code size's clear code, the indices as variable-width
// LZW codes (a clear code whenever the table is full), the end code, in 255-byte blocks
// with the terminator. `indices` must not be empty, each below 1 << minCodeSize.
void AppendGifImageData(std::span<const std::uint8_t> indices, unsigned minCodeSize,
                        std::vector<std::uint8_t>& out);

}  // namespace kavelin::image
