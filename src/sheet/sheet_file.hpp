// The character sheet file: a JSON document (UTF-8) that holds a whole sheet, so that a
// character can be kept, versioned and made again without the window.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "sheet/character_sheet.hpp"
#include "sheet/palette_swap.hpp"

namespace kavelin::sheet {

struct SheetDocument {
  CharacterSheet sheet;
  std::vector<PaletteSwap> paletteSwaps;
  // The "template" key: the template's path as the file keeps it, UTF-8 with "/" between
  // folders, relative to the sheet file's folder or absolute; empty when there is none.
  std::string templateFile;
  bool operator==(const SheetDocument&) const = default;
};

// Longest "template" value a sheet file may hold, in bytes.
inline constexpr std::size_t kMaxTemplateKeyBytes = 4096;

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
// "template" is written only when the document names one.
std::string WriteSheetFile(const SheetDocument& document);

// The "template" value for a sheet saved as `sheetFile` whose template is `templateFile`:
// relative to the sheet's folder when the two share a folder below the root, so that the
// pair can be moved together; absolute otherwise. Empty when the path is not UTF-8 text,
// which a sheet file cannot hold.
std::string TemplateKeyFor(const std::filesystem::path& sheetFile,
                           const std::filesystem::path& templateFile);
// The template a "template" value names, for the sheet read from `sheetFile`.
std::filesystem::path TemplateOfSheet(const std::filesystem::path& sheetFile,
                                      std::string_view templateKey);

}  // namespace kavelin::sheet
