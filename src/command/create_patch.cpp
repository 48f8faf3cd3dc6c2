#include "command/create_patch.hpp"

#include "validate/consistency_warnings.hpp"
#include "validate/input_errors.hpp"
#include "validate/tidy.hpp"

namespace kavelin::command {

PatchPlan MakePatch(const sheet::CharacterSheet& sheet, const image::TemplateImage& templateImage,
                    const text::CodeTable& codes) {
  PatchPlan plan;
  plan.tidied = validate::Tidy(sheet);
  plan.errors = validate::CheckInputErrors(plan.tidied, codes, templateImage.Loaded());
  if (plan.errors.Found()) return plan;
  plan.warnings = validate::CheckConsistencyWarnings(plan.tidied, codes);
  plan.built = patch::BuildPatchBytes(plan.tidied, codes, templateImage);
  return plan;
}

CreatePatchResult CreatePatch(const sheet::CharacterSheet& sheet,
                              const image::TemplateImage& templateImage,
                              const text::CodeTable& codes, CreatePatchDialogs& dialogs,
                              const patch::WriteOptions& options) {
  PatchPlan plan = MakePatch(sheet, templateImage, codes);
  CreatePatchResult result;
  result.tidied = std::move(plan.tidied);
  dialogs.ShowTidied(result.tidied);
  if (plan.errors.Found()) {
    dialogs.ShowInputErrors(plan.errors);
    result.outcome = CreatePatchOutcome::kInputErrors;
    return result;
  }

  const bool confirmed =
      plan.warnings.Found() ? dialogs.ConfirmWarnings(plan.warnings) : dialogs.ConfirmCreate();
  if (!confirmed) {
    result.outcome = CreatePatchOutcome::kDeclined;
    return result;
  }

  result.write = patch::WritePatch(*plan.built, templateImage.path, options);
  if (!*result.write) {
    dialogs.ShowWriteFailure(result.write->Why());
    result.outcome = CreatePatchOutcome::kWriteFailed;
    return result;
  }
  dialogs.ShowDone(**result.write);
  result.outcome = CreatePatchOutcome::kWritten;
  return result;
}

}  // namespace kavelin::command
