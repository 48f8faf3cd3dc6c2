// The current template: its path, what the picture area shows, and its palette.
#pragma once

#include <filesystem>

#include "image/palette.hpp"
#include "image/raster.hpp"

namespace kavelin::image {

struct TemplateImage {
  // Non-empty exactly while a valid template is loaded.
  std::filesystem::path path;
  // What the picture area shows; the sprite encoder reads it.
  Raster displayed;
  // Added to x and y of every access by sprite-cell coordinates: 0 or -1.
  int originOffset = 0;
  SpritePalette palette;
};

}  // namespace kavelin::image
