// The poison-state preview: the cell pixels of entries 6, 7 and 8 in their poisoned
// colours, shown on the displayed raster only.
#pragma once

#include <array>

#include "image/raster.hpp"
#include "image/template_image.hpp"

namespace kavelin::image {

struct PoisonColour {
  int entry;
  Colour shownAs;
};
inline constexpr std::array<PoisonColour, 3> kPoisonColours = {{
    {6, Rgb(248, 216, 248)},
    {7, Rgb(216, 184, 248)},
    {8, Rgb(248, 104, 128)},
}};

// Check2 ticked or unticked, by the user or by code. A change runs UpdatePoisonPreview
// while a template is loaded; ticking a disabled box is ignored.
void SetPoisonPreview(TemplateImage& image, bool ticked);

// Applies the preview to the cells when Check2 is ticked; otherwise restores the displayed
// raster from the copy kept at load.
void UpdatePoisonPreview(TemplateImage& image);

}  // namespace kavelin::image
