// The one road from the character sheet to a patch file, shared by the window and the
// command line: tidying, error pass, warning pass, confirmation, writer, completion. Its
// values part, MakePatch, asks and writes nothing.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>

#include "image/template_image.hpp"
#include "patch/patch_file.hpp"
#include "patch/patch_writer.hpp"
#include "sheet/character_sheet.hpp"
#include "text/code_table.hpp"
#include "validate/check_result.hpp"

namespace kavelin::command {

// What the road asks and tells. The window answers with message boxes (their titles are
// the window's texts), the command line with its terminal and flags.
class CreatePatchDialogs {
 public:
  virtual ~CreatePatchDialogs() = default;
  // Before the first box: the sheet as the road tidied it, for a front end that shows the
  // sheet while the user reads the box.
  virtual void ShowTidied(const sheet::CharacterSheet& tidied) { (void)tidied; }
  // Stop icon, OK, titled kInputErrorTitle: the whole report.
  virtual void ShowInputErrors(const validate::CheckResult& errors) = 0;
  // Exclamation icon, Yes/No, titled kCautionTitle: the warnings and the closing question.
  virtual bool ConfirmWarnings(const validate::CheckResult& warnings) = 0;
  // Question icon, Yes/No, titled kConfirmTitle: the closing question alone.
  virtual bool ConfirmCreate() = 0;
  // Information icon, OK, titled kProgramTitle: kDoneMessage. `written` is the patch.
  virtual void ShowDone(const std::filesystem::path& written) = 0;
  // Stop icon, OK, titled kWriteErrorTitle: the writer's message (the failure's `what`).
  // The old patch is intact.
  virtual void ShowWriteFailure(const Failure& failed) = 0;
};

enum class CreatePatchOutcome : std::uint8_t {
  kWritten,
  kInputErrors,
  kDeclined,  // the user answered No to the warnings or the confirmation
  kWriteFailed,
};

// The road's facts for one sheet and template, before anything is asked or written.
struct PatchPlan {
  sheet::CharacterSheet tidied;             // as validate::Tidy leaves the sheet
  validate::CheckResult errors;             // when found, the road ends in the input-error box
  validate::CheckResult warnings;           // only looked for when there are no errors
  std::optional<patch::BuildResult> built;  // the patch's bytes, built only when no errors
};

// The road as a function of values: tidies the sheet, checks it, and builds the patch of
// the template's pixels as loaded through its (swapped) palette.
PatchPlan MakePatch(const sheet::CharacterSheet& sheet, const image::TemplateImage& templateImage,
                    const text::CodeTable& codes);

struct CreatePatchResult {
  CreatePatchOutcome outcome = CreatePatchOutcome::kInputErrors;
  sheet::CharacterSheet tidied;             // the sheet as the road tidied it, whatever the outcome
  std::optional<patch::WriteResult> write;  // set when the writer ran
};

// Runs the road: MakePatch, then the boxes, then the writer.
CreatePatchResult CreatePatch(const sheet::CharacterSheet& sheet,
                              const image::TemplateImage& templateImage,
                              const text::CodeTable& codes, CreatePatchDialogs& dialogs,
                              const patch::WriteOptions& options = {});

}  // namespace kavelin::command
