// The one road from the character sheet to a patch file, shared by the window and the
// command line: preview off, error pass, warning pass, confirmation, writer, completion.
#pragma once

#include <cstdint>
#include <string_view>

#include "image/template_image.hpp"
#include "patch/patch_writer.hpp"
#include "sheet/character_sheet.hpp"
#include "text/code_table.hpp"
#include "validate/check_result.hpp"

namespace kavelin::command {

// Box titles and texts of the road, exactly as the user reads them.
inline constexpr std::u16string_view kProgramTitle = u"Kavelin";
inline constexpr std::u16string_view kInputErrorTitle = u"入力エラー";
inline constexpr std::u16string_view kCautionTitle = u"注意";
inline constexpr std::u16string_view kConfirmTitle = u"確認";
inline constexpr std::u16string_view kDoneMessage = u"処理が終了しました";
// A failed write has no text of its own in the road; the writer's message is shown under
// this title with the stop icon.
inline constexpr std::u16string_view kWriteErrorTitle = u"書き込みエラー";

// What the road asks and tells. The window answers with message boxes, the command line
// with its terminal and flags.
class CreatePatchDialogs {
 public:
  virtual ~CreatePatchDialogs() = default;
  // Stop icon, OK, titled kInputErrorTitle: the whole report.
  virtual void ShowInputErrors(const validate::CheckResult& errors) = 0;
  // Exclamation icon, Yes/No, titled kCautionTitle: the warnings and the closing question.
  virtual bool ConfirmWarnings(const validate::CheckResult& warnings) = 0;
  // Question icon, Yes/No, titled kConfirmTitle: the closing question alone.
  virtual bool ConfirmCreate() = 0;
  // Information icon, OK, titled kProgramTitle: kDoneMessage.
  virtual void ShowDone(const patch::WriteResult& written) = 0;
  // Stop icon, OK, titled kWriteErrorTitle: the writer's message. The old patch is intact.
  virtual void ShowWriteFailure(const patch::WriteResult& failed) = 0;
};

enum class CreatePatchOutcome : std::uint8_t {
  kWritten,
  kInputErrors,
  kDeclined,  // the user answered No to the warnings or the confirmation
  kWriteFailed,
};

struct CreatePatchResult {
  CreatePatchOutcome outcome = CreatePatchOutcome::kInputErrors;
  patch::WriteResult write;  // set when the writer ran
};

// Runs the road. Whatever the outcome, the sheet keeps what the error pass normalised
// (trimmed and widened names, packed art slots) and the preview is off.
CreatePatchResult CreatePatch(sheet::CharacterSheet& sheet, image::TemplateImage& templateImage,
                              const text::CodeTable& codes, CreatePatchDialogs& dialogs,
                              const patch::WriteOptions& options = {});

}  // namespace kavelin::command
