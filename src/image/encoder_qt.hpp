// Writing a raster as an image file in the format its name asks for. The header keeps Qt
// out of its includers.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

#include "image/raster.hpp"

namespace kavelin::image {

// The file's bytes for a name ending in .gif, .bmp or .png (any case); empty for another
// extension or a raster that cannot be written so (a GIF holds at most 256 colours).
std::optional<std::vector<std::uint8_t>> EncodeImageFile(const Raster& raster,
                                                         const std::filesystem::path& name);

}  // namespace kavelin::image
