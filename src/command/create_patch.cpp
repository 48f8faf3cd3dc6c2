#include "command/create_patch.hpp"

#include "image/poison_preview.hpp"
#include "validate/consistency_warnings.hpp"
#include "validate/input_errors.hpp"

namespace kavelin::command {

CreatePatchResult CreatePatch(sheet::CharacterSheet& sheet, image::TemplateImage& templateImage,
                              const text::CodeTable& codes, CreatePatchDialogs& dialogs,
                              const patch::WriteOptions& options) {
  CreatePatchResult result;
  // The encoder must read the template's own colours, not the poisoned look.
  image::SetPoisonPreview(templateImage, false);

  const auto errors = validate::CheckInputErrors(sheet, codes, templateImage.Loaded());
  if (errors.Found()) {
    dialogs.ShowInputErrors(errors);
    result.outcome = CreatePatchOutcome::kInputErrors;
    return result;
  }

  const auto warnings = validate::CheckConsistencyWarnings(sheet, codes);
  const bool confirmed =
      warnings.Found() ? dialogs.ConfirmWarnings(warnings) : dialogs.ConfirmCreate();
  if (!confirmed) {
    result.outcome = CreatePatchOutcome::kDeclined;
    return result;
  }

  result.write = patch::WritePatchFile(sheet, codes, templateImage, options);
  if (result.write.status != patch::WriteStatus::kWritten) {
    dialogs.ShowWriteFailure(result.write);
    result.outcome = CreatePatchOutcome::kWriteFailed;
    return result;
  }
  dialogs.ShowDone(result.write);
  result.outcome = CreatePatchOutcome::kWritten;
  return result;
}

}  // namespace kavelin::command
