// The create-patch road's questions and reports as the window's message boxes.
#pragma once

#include <filesystem>
#include <functional>
#include <string_view>

#include "app/dialogs.hpp"
#include "app/window_texts.hpp"
#include "command/create_patch.hpp"

namespace kavelin::app {

class PatchDialogs : public command::CreatePatchDialogs {
 public:
  // `showTidied` is given the sheet as the road tidied it, before the first box, so that
  // the window shows it while the user reads the box. When `replaced` names an existing
  // file, a Yes to the confirmation is followed by the question whether to replace it.
  // `beforeWrite` runs after the last Yes, just before the writer; false stops the road
  // there, as a No would.
  using ShowSheet = std::function<void(const sheet::CharacterSheet&)>;
  PatchDialogs(Dialogs& dialogs, ShowSheet showTidied, std::filesystem::path replaced = {},
               std::function<bool()> beforeWrite = {})
      : dialogs_(dialogs),
        showTidied_(std::move(showTidied)),
        replaced_(std::move(replaced)),
        beforeWrite_(std::move(beforeWrite)) {}

  void ShowTidied(const sheet::CharacterSheet& tidied) override {
    if (showTidied_) showTidied_(tidied);
  }
  void ShowInputErrors(const validate::CheckResult& errors) override;
  bool ConfirmWarnings(const validate::CheckResult& warnings) override;
  bool ConfirmCreate() override;
  void ShowDone(const std::filesystem::path& written) override;
  void ShowWriteFailure(const Failure& failed) override;

 private:
  bool ConfirmReplace();
  bool MayWrite() { return !beforeWrite_ || beforeWrite_(); }

  Dialogs& dialogs_;
  ShowSheet showTidied_;
  std::filesystem::path replaced_;
  std::function<bool()> beforeWrite_;
};

}  // namespace kavelin::app
