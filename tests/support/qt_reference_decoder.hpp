// Qt's image readers as an independent reference for our own decoder: the tests decode the
// same files both ways and compare. The header keeps Qt out of its includers.
#pragma once

#include <filesystem>
#include <optional>

#include "image/raster.hpp"

namespace kavelin::image::testing {

// A GIF (first frame), BMP or PNG through QImageReader, with the same conventions as
// DecodeImageFile: a fully transparent pixel reads as kBackground, 16-bit PNG samples keep
// their high byte, other formats and pictures over kMaxImageSide are refused, and so are
// bitmaps whose rows are cut short. Partly transparent pixels are not marked.
std::optional<Raster> DecodeWithQt(const std::filesystem::path& file);

}  // namespace kavelin::image::testing
