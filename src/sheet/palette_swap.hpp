// A palette swap that travels with a character: what two ticks of the palette toggles do
// to a freshly loaded template.
#pragma once

#include <utility>

#include "image/palette.hpp"

namespace kavelin::sheet {

// The two entries to swap, each below image::kPaletteSize and neither the reserved entry.
using PaletteSwap = std::pair<int, int>;

}  // namespace kavelin::sheet
