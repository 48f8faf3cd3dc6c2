// Palette extraction from the displayed template, and the palette panel's rows and swaps.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "image/palette.hpp"
#include "image/status.hpp"
#include "image/template_image.hpp"

namespace kavelin::image {

// The captions of one panel row: "0x" and upper-case hex digits, or all empty for an
// empty entry. They are for display only: the patch's palette words come from the
// entries' colours (SnesForm), never from these texts.
struct EntryCaptions {
  std::string red;    // Label2(i)
  std::string green;  // Label3(i)
  std::string blue;   // Label4(i)
  std::string snes;   // Label1(i)
  bool operator==(const EntryCaptions&) const = default;
};

EntryCaptions CaptionsOf(Colour entry);
// Check1(i)'s caption: i as two upper-case hex digits, "00" to "0F".
std::string ToggleCaption(int i);
// Check1(i)'s text colour on an entry's background.
constexpr Colour ToggleTextColour(Colour entry) {
  return entry ^ 0xFFFFFF;
}

// Stores c in entry i and enables its toggle.
void SetPaletteEntry(TemplateImage& image, Colour c, int i);

// Rebuilds the palette from the displayed raster (`originOffset` already set): resets
// every entry and toggle (unticked and disabled), seeds the fixed entries, then scans the
// cells. kTooManyColours when a colour finds no free entry: that pixel is circled in red
// on the displayed raster and the scan stops there.
ImageStatus ExtractPalette(TemplateImage& image);

// Entry 1 or 2 of the template whose SNES form is not the game's fixed word: the game
// shows its own colour there, so every cell pixel of that entry changes in the game.
struct FixedColourHint {
  int entry = 0;
  Colour templateColour = 0;
  std::uint16_t gameWord = 0;
  int changedPixels = 0;  // cell pixels of this entry
  Point seed;             // the template pixel that decides the entry, in cell coordinates
};
// One hint for each of entries 1 and 2 that differs; none when both match or are empty.
std::vector<FixedColourHint> FixedColourHints(const TemplateImage& image);

// Check1(i) ticked or unticked, by the user or by code. Ticking a second toggle swaps the
// two entries (turning the preview off first) and unticks both; ticking entry 3 is undone.
// A disabled toggle or an index out of range is ignored. True when entries were swapped.
bool SetPaletteToggle(TemplateImage& image, int i, bool ticked);

}  // namespace kavelin::image
