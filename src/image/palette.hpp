// The 16-entry sprite palette built from a template.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "image/raster.hpp"

namespace kavelin::image {

// An entry that holds no colour. No pixel ever reads as this value.
inline constexpr Colour kEmptyEntry = 0xFF000000;
inline constexpr int kPaletteSize = 16;
// Entry 3 is black, always, and never matched to a pixel.
inline constexpr int kReservedEntry = 3;

// The SNES form: (B div 8) × 1024 + (G div 8) × 32 + (R div 8).
constexpr std::uint16_t SnesForm(Colour c) {
  return static_cast<std::uint16_t>((Blue(c) / 8) * 1024 + (Green(c) / 8) * 32 + Red(c) / 8);
}
static_assert(SnesForm(Rgb(8, 16, 24)) == 0x0C41 && SnesForm(Rgb(255, 0, 0)) == 0x001F);

// The game's own colours of entries 1 and 2, which a patch always stores there whatever
// the template holds (index 0 unused).
inline constexpr std::array<std::uint16_t, 3> kFixedEntryWords = {0, 0x6BDE, 0x18C6};
constexpr bool IsFixedEntry(int entry) {
  return entry == 1 || entry == 2;
}

// Template pixels, in cell coordinates (before the origin offset), whose colours seed the
// palette before the scan: entry 0 (the backdrop), entries 1 and 2 (which the game shows
// in its fixed colours), and entries 6, 7 and 8 (the colours the poison preview replaces).
struct SeedPixel {
  int entry, x, y;
};
inline constexpr std::array<SeedPixel, 6> kSeedPixels = {
    {{0, 1, 1}, {1, 10, 13}, {2, 11, 32}, {6, 13, 15}, {7, 13, 16}, {8, 13, 17}}};
constexpr SeedPixel SeedOf(int entry) {
  for (const SeedPixel& seed : kSeedPixels)
    if (seed.entry == entry) return seed;
  return {-1, 0, 0};
}

struct SpritePalette {
  std::array<Colour, kPaletteSize> entries = [] {
    std::array<Colour, kPaletteSize> e{};
    e.fill(kEmptyEntry);
    return e;
  }();

  bool IsEmpty(int i) const { return entries[static_cast<std::size_t>(i)] == kEmptyEntry; }

  // The entry a pixel colour belongs to: the lowest index other than 3 holding it.
  std::optional<int> IndexOf(Colour c) const {
    for (int i = 0; i < kPaletteSize; ++i) {
      if (i != kReservedEntry && entries[static_cast<std::size_t>(i)] == c) return i;
    }
    return std::nullopt;
  }

  bool operator==(const SpritePalette&) const = default;
};

}  // namespace kavelin::image
