// Reading a patch back into a sheet, for inspection and for editing a character again.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "image/palette.hpp"
#include "patch/sprite_tiles.hpp"
#include "sheet/character_sheet.hpp"
#include "text/code_table.hpp"

namespace kavelin::patch {

struct PatchContents {
  // Sections without a block are off and keep the fresh-sheet values. Numbers read back
  // as plain decimal text. Trailing full-width spaces of the name and job name cannot be
  // told from the padding and are not restored.
  sheet::CharacterSheet sheet;
  std::array<std::uint16_t, image::kPaletteSize> paletteWords{};
  std::array<std::uint8_t, kTileDataBytes> tiles{};
};

struct ReadResult {
  bool ok = false;
  PatchContents contents;
  std::string reason;      // what is wrong, in English, when !ok
  std::size_t offset = 0;  // the byte at which the problem was found
};

// Every read is bounds-checked; anything the writer would not produce (a short fixed
// part, an unknown, repeated or misplaced block, a wrong payload length, a code no list
// offers, a truncated comment, bytes after the end) is reported with its offset.
ReadResult ReadPatchFile(std::span<const std::uint8_t> bytes, const text::CodeTable& codes);

}  // namespace kavelin::patch
