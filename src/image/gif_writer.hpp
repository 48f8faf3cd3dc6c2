// Writing a raster as a GIF file, the format templates usually come in. Qt reads GIF but
// cannot write it, so the encoder is our own; it only needs what a template needs.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "image/raster.hpp"

namespace kavelin::image {

// A GIF89a file of one frame, without transparency, holding the raster's pixels exactly.
// Empty when the raster has more than 256 colours or no pixels.
std::optional<std::vector<std::uint8_t>> EncodeGif(const Raster& raster);

}  // namespace kavelin::image
