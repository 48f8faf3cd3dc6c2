// The character a front end works on, without any toolkit: its template with the palette
// swaps that belong to the sheet, the file it was last saved to or opened from, and
// whether it has changed since. The window keeps the sheet itself in its controls and
// hands it in where a question needs it.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "command/template_intake.hpp"
#include "command/user_file.hpp"
#include "image/template_image.hpp"
#include "sheet/character_sheet.hpp"
#include "sheet/sheet_file.hpp"
#include "text/code_table.hpp"

namespace kavelin::command {

// A sheet file or patch taken in. The front end shows the sheet, then marks what it
// shows as saved with these swaps.
struct Opened {
  sheet::SheetDocument document;            // as the file holds it
  std::vector<sheet::PaletteSwap> skipped;  // swaps the current template could not take
};
// Or why not, the document then as it was: the reader's failure, or for a patch whose
// sprite could not be drawn back, a reason of image::ImageStatus.
using OpenResult = Result<Opened>;

// What reading the current template's file again found.
struct Reloaded {
  bool taken = false;  // the file's picture is now the template; otherwise nothing changed
  // Swaps the file's picture cannot take: dropped from the character when taken, the
  // reason it was not otherwise.
  std::vector<sheet::PaletteSwap> skipped;
};
// Where a refused picture went wrong, as its load found it: the parts of a reload's failure.
struct RefusedPixels {
  std::optional<image::Point> overflowPixel;
  std::optional<image::PartlyTransparentPixel> partlyTransparentPixel;
};
// Or why the file could not be taken (a reason of image::ImageStatus, parts RefusedPixels).
using TemplateReload = Result<Reloaded>;

class CharacterDocument {
 public:
  image::TemplateImage& Template() { return template_; }
  const image::TemplateImage& Template() const { return template_; }
  const std::vector<sheet::PaletteSwap>& Swaps() const { return swaps_; }
  const std::filesystem::path& SheetFile() const { return sheetFile_; }
  // The patch whose drawn template is current, if any.
  const std::filesystem::path& OpenedPatch() const { return openedPatch_; }

  // A template file, with the character's swaps on its fresh palette. Swaps the template
  // cannot take are left out of the character and returned.
  TemplateIntake LoadTemplate(const std::filesystem::path& file, const image::ImageDecoder& decoder,
                              IntakeMode mode);
  // The current template's file read again, as another program saved it, with the
  // character's swaps on its fresh palette and the poison preview as it was. Unlike a load,
  // a file that cannot be taken leaves the template as it was and current: a half-written
  // save must not cost the picture. So does one that cannot take every swap, unless
  // `dropSwaps`, as the user may repaint an entry for a moment and means to keep the swap.
  TemplateReload ReloadTemplate(const image::ImageDecoder& decoder, bool dropSwaps);
  // A press of a palette toggle; a completed pair becomes one of the character's swaps.
  void TogglePalette(int entry, bool ticked);

  // Puts the character's swaps back as they were (an undo): the current template takes them
  // on its fresh palette.
  void RestoreSwaps(const std::vector<sheet::PaletteSwap>& swaps);

  // Reads a sheet file and makes it the character; the current template takes its swaps.
  OpenResult OpenSheetFile(const std::filesystem::path& file);
  // Makes `swaps` the character's as they are, for a template about to be loaded with the
  // sheet: the template before it may have taken only some of them.
  void SetSwapsForNextLoad(std::vector<sheet::PaletteSwap> swaps) { swaps_ = std::move(swaps); }
  // Reads a patch and makes it the character, its sprite drawn back as the template.
  OpenResult OpenPatchFile(const std::filesystem::path& file, const text::CodeTable& codes);

  // What a sheet file would hold now, with `sheet` as the controls hold it.
  sheet::SheetDocument Document(const sheet::CharacterSheet& sheet) const;
  // Marks `document` as the saved state; a non-empty `file` becomes the sheet file.
  void MarkSaved(const sheet::SheetDocument& document, const std::filesystem::path& file);
  // Whether saving now would write a sheet file other than the last one saved or opened;
  // swap lists count by the entry order they lead to.
  bool HasUnsavedChanges(const sheet::CharacterSheet& sheet) const;

 private:
  image::TemplateImage template_;
  std::vector<sheet::PaletteSwap> swaps_;
  sheet::SheetDocument saved_;
  std::filesystem::path sheetFile_;
  std::filesystem::path openedPatch_;
};

}  // namespace kavelin::command
