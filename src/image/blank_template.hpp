// A template to draw into: the layout the intake expects, and nothing else.
#pragma once

#include "image/palette.hpp"
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

// The seed pixels' colours: entries 1 and 2 in colours whose SNES form is the game's fixed
// word (so a template loaded as it is keeps them), and three distinct colours for the
// entries the poison preview replaces.
inline constexpr Colour kBlankEntry1 = Rgb(0xF0, 0xF0, 0xD0);
inline constexpr Colour kBlankEntry2 = Rgb(0x30, 0x30, 0x30);
inline constexpr Colour kBlankPoison[3] = {Rgb(0xC0, 0x40, 0x40), Rgb(0x40, 0xA0, 0x40),
                                           Rgb(0x40, 0x60, 0xC0)};

// 176 x 132 with the one-pixel margin: the 23 sprite cells in the backdrop colour, the rest
// grey, and the seed pixels of entries 1, 2, 6, 7 and 8 painted. It loads as a template as
// it is, entries 1 and 2 already the game's.
Raster BlankTemplate();

}  // namespace kavelin::image

static_assert(kavelin::image::SnesForm(kavelin::image::kBlankEntry1) ==
                  kavelin::image::kFixedEntryWords[1] &&
              kavelin::image::SnesForm(kavelin::image::kBlankEntry2) ==
                  kavelin::image::kFixedEntryWords[2]);
