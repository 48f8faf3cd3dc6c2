// The current template: its path, what the picture area shows, and its palette.
#pragma once

#include <array>
#include <filesystem>
#include <optional>

#include "image/palette.hpp"
#include "image/raster.hpp"

namespace kavelin::image {

// The state of one check box; the GUI mirrors it and never decides it.
struct Toggle {
  bool ticked = false;
  bool enabled = false;
  bool operator==(const Toggle&) const = default;
};

struct PaletteToggles {
  // Check1(0) to Check1(15): tick one, then another, to swap their entries.
  std::array<Toggle, kPaletteSize> entries{};
  // Check2: the poison-state preview.
  Toggle preview;
  bool operator==(const PaletteToggles&) const = default;
};

struct Point {
  int x = 0, y = 0;
  bool operator==(const Point&) const = default;
};

// A partly transparent pixel inside a sprite cell, which refuses the picture: a cell pixel
// must be one colour for the sprite to take.
struct PartlyTransparentPixel {
  Point at;      // in the picture's own pixels, as a paint program shows them
  int cell = 0;  // 1 to 23, the cells in scan order
  bool operator==(const PartlyTransparentPixel&) const = default;
};

struct TemplateImage {
  // The file of the current template; empty while no template is loaded, and while the
  // template is one drawn from an opened patch (`fromPatch`).
  std::filesystem::path path;
  bool fromPatch = false;
  // What the picture area shows; the sprite encoder reads it.
  Raster displayed;
  // Added to x and y of every access by sprite-cell coordinates: 0 or -1.
  int originOffset = 0;
  // The picture's own size as decoded, before the display pads it to the picture area:
  // cell pixels beyond it read the background. Zero while no picture is shown.
  int pictureWidth = 0, pictureHeight = 0;
  SpritePalette palette;

  // The displayed raster as the last decode left it, before any preview. Turning the
  // preview off restores from this copy, not from the file, which may have changed.
  Raster loaded;
  PaletteToggles toggles;
  // The cell pixel whose colour did not fit, circled in red by the last load, if any.
  std::optional<Point> overflowPixel;
  // Why the last load was refused as kInvalidFile, when it was for a partly transparent
  // cell pixel: a detail the front ends may give after the box's text.
  std::optional<PartlyTransparentPixel> partlyTransparentPixel;

  // Whether a valid template is current, from a file or drawn from a patch.
  bool Loaded() const { return !path.empty() || fromPatch; }
};

}  // namespace kavelin::image
