#include "image/palette_panel.hpp"

#include <optional>

#include "image/poison_preview.hpp"
#include "image/sprite_cells.hpp"
#include "text/hex.hpp"

namespace kavelin::image {
namespace {

std::string Hex(unsigned value, int digits) {
  return "0x" + text::Hex(value, digits);
}

Toggle& ToggleOf(TemplateImage& image, int i) {
  return image.toggles.entries[static_cast<std::size_t>(i)];
}

Colour EntryOf(const TemplateImage& image, int i) {
  return image.palette.entries[static_cast<std::size_t>(i)];
}

// A pen 2 pixels wide on a circle of radius 5: every pixel whose centre lies from 4 up to
// (not including) 6 pixels away. Parts off the raster are dropped, as the area clips them.
void MarkPixel(Raster& raster, Point centre) {
  constexpr Colour kRed = Rgb(255, 0, 0);
  for (int dy = -6; dy <= 6; ++dy) {
    for (int dx = -6; dx <= 6; ++dx) {
      const int squared = dx * dx + dy * dy;
      if (squared >= 16 && squared < 36) raster.Set(centre.x + dx, centre.y + dy, kRed);
    }
  }
}

void ResetPalette(TemplateImage& image) {
  image.palette = SpritePalette{};
  // Unticked as well as disabled: a toggle left ticked through a load could otherwise be
  // swapped with an entry that the new template leaves empty.
  for (Toggle& toggle : image.toggles.entries)
    toggle = Toggle{};
}

bool DiffersFromAll(const TemplateImage& image, Colour c, std::initializer_list<int> entries) {
  for (const int i : entries) {
    if (EntryOf(image, i) == c) return false;
  }
  return true;
}

std::optional<int> LowestFreeEntry(const SpritePalette& palette) {
  for (int i = 0; i < kPaletteSize; ++i) {
    if (i != kReservedEntry && palette.IsEmpty(i)) return i;
  }
  return std::nullopt;
}

}  // namespace

EntryCaptions CaptionsOf(Colour entry) {
  if (entry == kEmptyEntry) return {};
  return {Hex(Red(entry), 2), Hex(Green(entry), 2), Hex(Blue(entry), 2), Hex(SnesForm(entry), 4)};
}

std::string ToggleCaption(int i) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%02X", static_cast<unsigned>(i) & 0xFFu);
  return buffer;
}

void SetPaletteEntry(TemplateImage& image, Colour c, int i) {
  if (i < 0 || i >= kPaletteSize) return;
  image.palette.entries[static_cast<std::size_t>(i)] = c;
  ToggleOf(image, i).enabled = true;
}

std::vector<FixedColourHint> FixedColourHints(const TemplateImage& image) {
  std::vector<FixedColourHint> hints;
  for (const int entry : {1, 2}) {
    const Colour own = image.palette.entries[static_cast<std::size_t>(entry)];
    if (own == kEmptyEntry || SnesForm(own) == kFixedEntryWords[static_cast<std::size_t>(entry)])
      continue;
    FixedColourHint hint;
    hint.entry = entry;
    hint.templateColour = own;
    hint.gameWord = kFixedEntryWords[static_cast<std::size_t>(entry)];
    const SeedPixel seed = SeedOf(entry);
    hint.seed = {seed.x, seed.y};
    const int offset = image.originOffset;
    for (const Cell& cell : kSpriteCells) {
      for (int y = cell.y; y < cell.y + cell.h; ++y) {
        for (int x = cell.x; x < cell.x + cell.w; ++x) {
          if (image.displayed.Contains(x + offset, y + offset) &&
              image.palette.IndexOf(image.displayed.At(x + offset, y + offset)) == entry)
            ++hint.changedPixels;
        }
      }
    }
    hints.push_back(hint);
  }
  return hints;
}

ImageStatus ExtractPalette(TemplateImage& image) {
  ResetPalette(image);
  const int offset = image.originOffset;
  const auto pixel = [&](int x, int y) { return image.displayed.At(x + offset, y + offset); };

  const auto seed = [&](int entry) {
    const SeedPixel at = SeedOf(entry);
    return pixel(at.x, at.y);
  };
  SetPaletteEntry(image, seed(0), 0);
  if (const Colour c = seed(1); DiffersFromAll(image, c, {0})) SetPaletteEntry(image, c, 1);
  if (const Colour c = seed(2); DiffersFromAll(image, c, {0, 1})) SetPaletteEntry(image, c, 2);
  SetPaletteEntry(image, 0x00000000, kReservedEntry);
  if (const Colour c = seed(6); DiffersFromAll(image, c, {0, 1, 2})) SetPaletteEntry(image, c, 6);
  if (const Colour c = seed(7); DiffersFromAll(image, c, {0, 1, 2, 6}))
    SetPaletteEntry(image, c, 7);
  if (const Colour c = seed(8); DiffersFromAll(image, c, {0, 1, 2, 6, 7}))
    SetPaletteEntry(image, c, 8);

  // Entries only fill up during the scan, so a colour found once stays found; neighbouring
  // pixels mostly share a colour, and remembering the last one skips most searches.
  Colour known = kEmptyEntry;
  const Raster& shown = image.displayed;
  const Colour* pixels = shown.Pixels().data();
  const std::size_t stride = static_cast<std::size_t>(shown.Width());
  for (const Cell& cell : kSpriteCells) {
    // The displayed raster covers the picture area, so every cell lies on it; the check
    // keeps the direct reads safe all the same.
    const bool inside = shown.Contains(cell.x + offset, cell.y + offset) &&
                        shown.Contains(cell.x + cell.w - 1 + offset, cell.y + cell.h - 1 + offset);
    // The palette fills up within the first cells. A cell whose colours are all known
    // changes nothing, and a pass along its rows, which memory serves far faster than its
    // columns, tells so; only a cell with a new colour is scanned in the order that
    // decides the entries.
    if (inside) {
      bool allKnown = true;
      for (int dy = 0; dy < cell.h && allKnown; ++dy) {
        const Colour* row =
            pixels + static_cast<std::size_t>(cell.y + dy + offset) * stride + (cell.x + offset);
        for (int dx = 0; dx < cell.w; ++dx) {
          if (row[dx] == known) continue;
          if (!image.palette.IndexOf(row[dx])) {
            allKnown = false;
            break;
          }
          known = row[dx];
        }
      }
      if (allKnown) continue;
    }
    for (int dx = 0; dx < cell.w; ++dx) {
      for (int dy = 0; dy < cell.h; ++dy) {
        const Point at = {cell.x + dx + offset, cell.y + dy + offset};
        const Colour c =
            inside ? pixels[static_cast<std::size_t>(at.y) * stride + at.x] : shown.At(at.x, at.y);
        if (c == known) continue;
        known = c;
        if (image.palette.IndexOf(c)) continue;
        const std::optional<int> free = LowestFreeEntry(image.palette);
        if (!free) {
          MarkPixel(image.displayed, at);
          image.overflowPixel = at;
          return ImageStatus::kTooManyColours;
        }
        SetPaletteEntry(image, c, *free);
      }
    }
  }
  return ImageStatus::kOk;
}

bool SetPaletteToggle(TemplateImage& image, int i, bool ticked) {
  if (i < 0 || i >= kPaletteSize) return false;
  Toggle& toggle = ToggleOf(image, i);
  // A disabled toggle cannot be clicked; code may still untick it.
  if (ticked && !toggle.enabled) return false;
  if (toggle.ticked == ticked) return false;
  toggle.ticked = ticked;
  if (!ticked) return false;
  if (i == kReservedEntry) {
    toggle.ticked = false;
    return false;
  }
  int partner = -1;
  for (int j = 0; j < kPaletteSize && partner < 0; ++j) {
    if (j != i && ToggleOf(image, j).ticked) partner = j;
  }
  if (partner < 0) return false;

  SetPoisonPreview(image, false);
  const Colour kept = EntryOf(image, partner);
  SetPaletteEntry(image, EntryOf(image, i), partner);
  SetPaletteEntry(image, kept, i);
  ToggleOf(image, partner).ticked = false;
  toggle.ticked = false;
  return true;
}

}  // namespace kavelin::image
