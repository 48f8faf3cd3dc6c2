// Taking a template in for a character: the image intake, then the character's palette
// swaps on the fresh palette. Both front ends come this way, so a sheet and a template give
// the same palette, and so the same patch, in the window and on the command line.
#pragma once

#include <array>
#include <filesystem>
#include <vector>

#include "image/decoder.hpp"
#include "image/palette.hpp"
#include "image/status.hpp"
#include "image/template_image.hpp"
#include "sheet/palette_swap.hpp"

namespace kavelin::command {

// How the file is taken in: at start-up the file is decoded as it is; browsing and
// dropping check its signature first.
enum class IntakeMode { kStartUp, kChecked };

struct SwapsApplied {
  std::vector<sheet::PaletteSwap> made;     // in order
  std::vector<sheet::PaletteSwap> skipped;  // naming an entry this template leaves empty
};

// Applies `swaps` to a freshly extracted palette as two ticks each would. A swap naming an
// empty entry is skipped and reported, never an error: the sheet belongs to the character,
// and a template drawn with fewer colours must still make its patch.
SwapsApplied ApplyPaletteSwaps(image::TemplateImage& image,
                               const std::vector<sheet::PaletteSwap>& swaps);

// The swaps as the image took them, or why the image was not taken in (a reason of
// image::ImageStatus).
using TemplateIntake = Result<SwapsApplied>;

TemplateIntake TakeInTemplate(image::TemplateImage& image, const std::filesystem::path& file,
                              const image::ImageDecoder& decoder, IntakeMode mode,
                              const std::vector<sheet::PaletteSwap>& swaps);

// The entry order a list of swaps leads to, for telling two lists apart by their effect.
std::array<int, image::kPaletteSize> SwapArrangement(const std::vector<sheet::PaletteSwap>& swaps);

}  // namespace kavelin::command
