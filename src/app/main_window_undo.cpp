// Undo and redo: each finished change of the character (a choice, a tick, a swap, an
// opened file, the road's tidying) is a step that holds the character before and after.
// A template is the user's file, not part of the character: loading one is no step.
#include <QUndoCommand>
#include <QUndoStack>

#include "app/main_window.hpp"
#include "app/sheet_form.hpp"

namespace kavelin::app {
namespace {

class Step : public QUndoCommand {
 public:
  using Apply = std::function<void(const MainWindow::Character&)>;
  Step(MainWindow::Character before, MainWindow::Character after, Apply apply)
      : before_(std::move(before)), after_(std::move(after)), apply_(std::move(apply)) {}
  void undo() override { apply_(before_); }
  void redo() override {
    // Pushed after the change was made: the first redo has nothing to do.
    if (done_) apply_(after_);
    done_ = true;
  }

 private:
  MainWindow::Character before_, after_;
  Apply apply_;
  bool done_ = false;
};

}  // namespace

MainWindow::Character MainWindow::CurrentCharacter() const {
  return {ReadSheet(), document_.Swaps()};
}

void MainWindow::RecordStep() {
  if (restoring_) return;
  Character now = CurrentCharacter();
  if (now == recorded_) return;
  undoStack_->push(new Step(recorded_, now, [this](const Character& c) { Restore(c); }));
  recorded_ = std::move(now);
}

void MainWindow::RecordWithoutStep() {
  recorded_ = CurrentCharacter();
}

void MainWindow::Restore(const Character& character) {
  restoring_ = true;
  form_->Show(character.sheet);
  document_.RestoreSwaps(character.swaps);
  MirrorTemplate();
  recorded_ = CurrentCharacter();
  restoring_ = false;
}

void MainWindow::Undo() {
  // Typing not yet ended by leaving its box is a step of its own, undone first.
  RecordStep();
  undoStack_->undo();
}

void MainWindow::Redo() {
  RecordStep();
  undoStack_->redo();
}

}  // namespace kavelin::app
