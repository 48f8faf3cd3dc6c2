#include "app/character_history.hpp"

#include <QUndoCommand>
#include <QUndoStack>
#include <utility>

namespace kavelin::app {
namespace {

class Step : public QUndoCommand {
 public:
  using Apply = std::function<void(const Character&)>;
  Step(Character before, Character after, Apply apply)
      : before_(std::move(before)), after_(std::move(after)), apply_(std::move(apply)) {}
  void undo() override { apply_(before_); }
  void redo() override {
    // Pushed after the change was made: the first redo has nothing to do.
    if (done_) apply_(after_);
    done_ = true;
  }

 private:
  Character before_, after_;
  Apply apply_;
  bool done_ = false;
};

}  // namespace

CharacterHistory::CharacterHistory(QObject* parent, Read read, Apply apply)
    : stack_(new QUndoStack(parent)), read_(std::move(read)), apply_(std::move(apply)) {}

void CharacterHistory::Record() {
  if (paused_) return;
  Character now = read_();
  if (now == recorded_) return;
  stack_->push(new Step(recorded_, now, [this](const Character& c) { Restore(c); }));
  recorded_ = std::move(now);
}

void CharacterHistory::Rebase() {
  recorded_ = read_();
}

void CharacterHistory::Restore(const Character& character) {
  paused_ = true;
  apply_(character);
  recorded_ = read_();
  paused_ = false;
}

void CharacterHistory::Undo() {
  Record();
  stack_->undo();
}

void CharacterHistory::Redo() {
  Record();
  stack_->redo();
}

}  // namespace kavelin::app
