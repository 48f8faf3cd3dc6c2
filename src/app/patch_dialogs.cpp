#include "app/patch_dialogs.hpp"

#include "app/qt_text.hpp"
#include "validate/messages.hpp"

namespace kavelin::app {

void PatchDialogs::ShowInputErrors(const validate::CheckResult& errors) {
  dialogs_.Show(Q(errors.report), BoxIcon::kStop, Q(kInputErrorTitle));
}

bool PatchDialogs::ConfirmWarnings(const validate::CheckResult& warnings) {
  return dialogs_.Ask(Q(warnings.report), BoxIcon::kExclamation, Q(kCautionTitle)) &&
         ConfirmReplace() && MayWrite();
}

bool PatchDialogs::ConfirmCreate() {
  return dialogs_.Ask(Q(validate::messages::kConfirmQuestion), BoxIcon::kQuestion,
                      Q(kConfirmTitle)) &&
         ConfirmReplace() && MayWrite();
}

bool PatchDialogs::ConfirmReplace() {
  std::error_code error;
  if (replaced_.empty() || !std::filesystem::exists(replaced_, error)) return true;
  return dialogs_.Ask(Q(kOverwriteOpenedPatchQuestion) + "\r\n" + DisplayPath(replaced_),
                      BoxIcon::kExclamation, Q(kConfirmTitle));
}

void PatchDialogs::ShowDone(const std::filesystem::path&) {
  dialogs_.Show(Q(kDoneMessage), BoxIcon::kInformation, Q(kProgramTitle));
}

void PatchDialogs::ShowWriteFailure(const Failure& failed) {
  dialogs_.Show(QString::fromStdString(failed.what), BoxIcon::kStop, Q(kWriteErrorTitle));
}

}  // namespace kavelin::app
