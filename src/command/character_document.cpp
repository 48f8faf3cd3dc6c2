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
  if (intake.status == image::ImageStatus::kOk) swaps_ = intake.swaps.made;
  return intake;
}

TemplateReload CharacterDocument::ReloadTemplate(const image::ImageDecoder& decoder,
                                                 bool dropSwaps) {
  TemplateReload reload;
  if (template_.path.empty() || template_.fromPatch) {
    reload.status = image::ImageStatus::kCannotRead;
    return reload;
  }
  // Taken in aside: the load empties the path and may leave a half-made palette on failure.
  image::TemplateImage fresh = template_;
  const TemplateIntake intake =
      TakeInTemplate(fresh, template_.path, decoder, IntakeMode::kChecked, swaps_);
  reload.status = intake.status;
  reload.overflowPixel = fresh.overflowPixel;
  reload.partlyTransparentPixel = fresh.partlyTransparentPixel;
  if (intake.status != image::ImageStatus::kOk) return reload;
  reload.skipped = intake.swaps.skipped;
  if (!reload.skipped.empty() && !dropSwaps) return reload;
  image::SetPoisonPreview(fresh, template_.toggles.preview.ticked);
  template_ = std::move(fresh);
  swaps_ = intake.swaps.made;
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

Opened CharacterDocument::OpenSheetFile(const std::filesystem::path& file) {
  Opened opened;
  const SheetFileRead parsed = ReadSheetFile(file);
  if (!parsed.ok) {
    opened.failure.read = parsed.failure;
    opened.failure.reason = parsed.reason;
    opened.failure.sheetProblem = parsed.formatProblem;
    return opened;
  }
  swaps_ = parsed.document.paletteSwaps;
  if (template_.Loaded()) {
    // The current template takes the opened sheet's palette order, not the one before.
    image::SetPoisonPreview(template_, false);
    image::ExtractPalette(template_);
    SwapsApplied applied = ApplyPaletteSwaps(template_, swaps_);
    swaps_ = std::move(applied.made);
    opened.skipped = std::move(applied.skipped);
  }
  sheetFile_ = file;
  opened.document = parsed.document;
  opened.ok = true;
  return opened;
}

Opened CharacterDocument::OpenPatchFile(const std::filesystem::path& file,
                                        const text::CodeTable& codes) {
  Opened opened;
  const PatchFileRead parsed = ReadPatchFile(file, codes);
  if (!parsed.ok) {
    opened.failure.read = parsed.failure;
    opened.failure.reason = parsed.reason;
    opened.failure.patchProblem = parsed.formatProblem;
    if (parsed.failure) opened.failure.offset = parsed.offset;
    return opened;
  }
  // Drawn aside first: the document changes only once the whole patch has been taken in.
  image::TemplateImage drawn;
  const patch::ExportedTemplate exported =
      patch::ExportTemplate(parsed.contents.paletteWords, parsed.contents.tiles);
  opened.failure.drawn = image::LoadDrawnTemplate(drawn, exported.raster);
  if (opened.failure.drawn != image::ImageStatus::kOk) return opened;
  swaps_ = ApplyPaletteSwaps(drawn, exported.paletteSwaps).made;
  template_ = std::move(drawn);
  openedPatch_ = file;
  // The character now lives in the patch, not in the sheet file opened before.
  sheetFile_.clear();
  opened.document.sheet = parsed.contents.sheet;
  opened.document.paletteSwaps = swaps_;
  opened.ok = true;
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
