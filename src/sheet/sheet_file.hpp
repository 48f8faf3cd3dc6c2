// The character sheet file: a JSON document (UTF-8) that holds a whole sheet, so that a
// character can be kept, versioned and made again without the window.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "sheet/character_sheet.hpp"
#include "sheet/palette_swap.hpp"

namespace kavelin::sheet {

struct SheetDocument {
  CharacterSheet sheet;
  std::vector<PaletteSwap> paletteSwaps;
  bool operator==(const SheetDocument&) const = default;
};

struct SheetFileResult {
  bool ok = false;
  SheetDocument document;
  // When !ok: the key path and the bad value, e.g.
  // initialArts.spells[2]: code "B1" is not in the spell list
  std::string error;
};

// Every key is optional and takes the fresh-sheet value when missing. An unknown key, a
// wrong type or length, a position out of range or a code the list does not offer is an
// error. Comment line breaks become CR LF. A "paletteWords" array, which inspecting a
// patch adds, is allowed and ignored: the palette comes from the template.
SheetFileResult ReadSheetFile(std::string_view json);

// The whole document, every key present, codes in upper case; ReadSheetFile gives it back.
std::string WriteSheetFile(const SheetDocument& document);

}  // namespace kavelin::sheet
