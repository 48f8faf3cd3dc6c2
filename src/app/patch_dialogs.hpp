// The create-patch road's questions and reports as the window's message boxes.
#pragma once

#include <functional>

#include "app/dialogs.hpp"
#include "command/create_patch.hpp"

namespace kavelin::app {

class PatchDialogs : public command::CreatePatchDialogs {
 public:
  // `beforeBox` runs before every box, so that the window shows the sheet as the error
  // pass normalised it while the user reads the box.
  PatchDialogs(Dialogs& dialogs, std::function<void()> beforeBox)
      : dialogs_(dialogs), beforeBox_(std::move(beforeBox)) {}

  void ShowInputErrors(const validate::CheckResult& errors) override;
  bool ConfirmWarnings(const validate::CheckResult& warnings) override;
  bool ConfirmCreate() override;
  void ShowDone(const patch::WriteResult& written) override;
  void ShowWriteFailure(const patch::WriteResult& failed) override;

 private:
  void BeforeBox() {
    if (beforeBox_) beforeBox_();
  }

  Dialogs& dialogs_;
  std::function<void()> beforeBox_;
};

}  // namespace kavelin::app
