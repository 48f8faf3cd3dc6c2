// The picture decoder of the desktop build, on Qt's image readers. Needs no running
// application object. The header keeps Qt out of its includers.
#pragma once

#include <filesystem>
#include <optional>

#include "image/raster.hpp"

namespace kavelin::image {

// An ImageDecoder: decodes a GIF (its first frame) or a BMP, recognised by content, not
// by name. Other formats are refused, so that the command line, which skips the
// signature check, cannot bring in what browse and drop would reject.
std::optional<Raster> DecodeImageFile(const std::filesystem::path& file);

}  // namespace kavelin::image
