// A template to draw into: the layout the intake expects, and nothing else.
#pragma once

#include "image/raster.hpp"

namespace kavelin::image {

inline constexpr int kBlankTemplateWidth = 176;
inline constexpr int kBlankTemplateHeight = 132;
// The cells' backdrop, which becomes palette entry 0 (the colour the game leaves clear).
inline constexpr Colour kBlankBackdrop = Rgb(0, 128, 128);
// The margin and the gaps between cells: a grey apart from the backdrop, and apart from the
// picture area's background, which pixel (175, 1) must not show in a template with the
// margin.
inline constexpr Colour kBlankGaps = Rgb(128, 128, 128);
static_assert(kBlankGaps != kBackground && kBlankGaps != kBlankBackdrop);

// 176 x 132 with the one-pixel margin: the 23 sprite cells in the backdrop colour, the rest
// grey. It loads as a template as it is, with a palette of the backdrop alone.
Raster BlankTemplate();

}  // namespace kavelin::image
