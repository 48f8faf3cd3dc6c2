#include "command/character_document.hpp"

#include <utility>

#include "image/intake.hpp"
#include "image/palette_panel.hpp"
#include "image/poison_preview.hpp"
#include "patch/template_export.hpp"

namespace kavelin::command {

TemplateIntake CharacterDocument::LoadTemplate(const std::filesystem::path& file,
                                               const image::ImageDecoder& decoder,
                                               IntakeMode mode) {
  TemplateIntake intake = TakeInTemplate(template_, file, decoder, mode, swaps_);
  // Swaps this template could not take leave the character, so that a save says what the
  // patch will hold; the sheet file opened or saved before still has them.
  if (intake) swaps_ = intake->made;
  return intake;
}

TemplateReload CharacterDocument::ReloadTemplate(const image::ImageDecoder& decoder,
                                                 bool dropSwaps) {
  if (template_.path.empty() || template_.fromPatch)
    return image::ImageFailure(image::ImageStatus::kCannotRead, template_.path);
  // Taken in aside: the load empties the path and may leave a half-made palette on failure.
  image::TemplateImage fresh = template_;
  TemplateIntake intake =
      TakeInTemplate(fresh, template_.path, decoder, IntakeMode::kChecked, swaps_);
  if (!intake) {
    intake.Why().parts = RefusedPixels{fresh.overflowPixel, fresh.partlyTransparentPixel};
    return std::move(intake.Why());
  }
  Reloaded reload;
  reload.skipped = intake->skipped;
  if (!reload.skipped.empty() && !dropSwaps) return reload;
  image::SetPoisonPreview(fresh, template_.toggles.preview.ticked);
  template_ = std::move(fresh);
  swaps_ = intake->made;
  reload.taken = true;
  return reload;
}

void CharacterDocument::TogglePalette(int entry, bool ticked) {
  int waiting = -1;
  for (int j = 0; j < image::kPaletteSize; ++j) {
    if (j != entry && template_.toggles.entries[static_cast<std::size_t>(j)].ticked) waiting = j;
  }
  // The swap becomes part of the sheet, so that a saved sheet gives the same patch.
  if (image::SetPaletteToggle(template_, entry, ticked) && waiting >= 0)
    swaps_.emplace_back(waiting, entry);
}

void CharacterDocument::RestoreSwaps(const std::vector<sheet::PaletteSwap>& swaps) {
  swaps_ = swaps;
  if (!template_.Loaded()) return;
  image::SetPoisonPreview(template_, false);
  image::ExtractPalette(template_);
  swaps_ = ApplyPaletteSwaps(template_, swaps).made;
}

OpenResult CharacterDocument::OpenSheetFile(const std::filesystem::path& file) {
  SheetFileRead parsed = ReadSheetFile(file);
  if (!parsed) return std::move(parsed.Why());
  Opened opened;
  swaps_ = parsed->paletteSwaps;
  if (template_.Loaded()) {
    // The current template takes the opened sheet's palette order, not the one before.
    image::SetPoisonPreview(template_, false);
    image::ExtractPalette(template_);
    SwapsApplied applied = ApplyPaletteSwaps(template_, swaps_);
    swaps_ = std::move(applied.made);
    opened.skipped = std::move(applied.skipped);
  }
  sheetFile_ = file;
  opened.document = std::move(*parsed);
  return opened;
}

OpenResult CharacterDocument::OpenPatchFile(const std::filesystem::path& file,
                                            const text::CodeTable& codes) {
  PatchFileRead parsed = ReadPatchFile(file, codes);
  if (!parsed) return std::move(parsed.Why());
  // Drawn aside first: the document changes only once the whole patch has been taken in.
  image::TemplateImage drawn;
  const patch::ExportedTemplate exported =
      patch::ExportTemplate(parsed->paletteWords, parsed->tiles);
  if (const image::ImageStatus status = image::LoadDrawnTemplate(drawn, exported.raster);
      status != image::ImageStatus::kOk) {
    return image::ImageFailure(status, file);
  }
  swaps_ = ApplyPaletteSwaps(drawn, exported.paletteSwaps).made;
  template_ = std::move(drawn);
  openedPatch_ = file;
  // The character now lives in the patch, not in the sheet file opened before.
  sheetFile_.clear();
  Opened opened;
  opened.document.sheet = parsed->sheet;
  opened.document.paletteSwaps = swaps_;
  return opened;
}

sheet::SheetDocument CharacterDocument::Document(const sheet::CharacterSheet& sheet) const {
  sheet::SheetDocument document;
  document.sheet = sheet;
  document.paletteSwaps = swaps_;
  return document;
}

void CharacterDocument::MarkSaved(const sheet::SheetDocument& document,
                                  const std::filesystem::path& file) {
  saved_ = document;
  if (!file.empty()) sheetFile_ = file;
}

bool CharacterDocument::HasUnsavedChanges(const sheet::CharacterSheet& sheet) const {
  return sheet != saved_.sheet || SwapArrangement(swaps_) != SwapArrangement(saved_.paletteSwaps);
}

}  // namespace kavelin::command
