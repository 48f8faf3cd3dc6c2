#include "app/text_box.hpp"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QValidator>

namespace kavelin::app {
namespace {

// Refuses an edit that would grow the text beyond the limit; shortening is always allowed,
// also when code has put a longer text into the box. The box has already taken the edit
// when it asks, so the text before it is remembered from the last change.
class TypedLengthValidator : public QValidator {
 public:
  TypedLengthValidator(QLineEdit* box, int limit)
      : QValidator(box), limit_(limit), before_(box->text().size()) {
    connect(box, &QLineEdit::textChanged, this,
            [this](const QString& text) { before_ = text.size(); });
  }

  State validate(QString& input, int&) const override {
    if (input.size() <= limit_ || input.size() <= before_) return Acceptable;
    return Invalid;
  }

 private:
  qsizetype limit_;
  qsizetype before_;
};

}  // namespace

TextBox::TextBox(QWidget* parent) : QLineEdit(parent) {}

void TextBox::SetTypedLimit(int limit) {
  typedLimit_ = limit;
  setValidator(limit > 0 ? new TypedLengthValidator(this, limit) : nullptr);
}

void TextBox::SelectWhole() {
  const auto length = static_cast<int>(text().size());
  setSelection(length, -length);
}

bool PassUndoToWindow(QEvent* event, bool canUndo, bool canRedo) {
  if (event->type() != QEvent::ShortcutOverride) return false;
  const auto* key = static_cast<QKeyEvent*>(event);
  const bool undo = key->matches(QKeySequence::Undo);
  const bool redo = key->matches(QKeySequence::Redo) ||
                    key->keyCombination() == QKeyCombination(Qt::CTRL, Qt::Key_Y);
  if ((undo && canUndo) || (redo && canRedo) || (!undo && !redo)) return false;
  event->ignore();
  return true;
}

bool TextBox::event(QEvent* event) {
  return PassUndoToWindow(event, isUndoAvailable(), isRedoAvailable()) || QLineEdit::event(event);
}

void TextBox::focusInEvent(QFocusEvent* event) {
  QLineEdit::focusInEvent(event);
  // Coming back to the window or from a popup returns to the box as it was left.
  if (!selectAllOnFocus_ || event->reason() == Qt::ActiveWindowFocusReason ||
      event->reason() == Qt::PopupFocusReason)
    return;
  SelectWhole();
  selectOnRelease_ = event->reason() == Qt::MouseFocusReason;
}

void TextBox::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  selectOnRelease_ = false;
  // A popup or another window taking the focus for a moment is no leaving of the box.
  if (event->reason() == Qt::PopupFocusReason || event->reason() == Qt::ActiveWindowFocusReason)
    return;
  // Leaving ends the typing as a step of the character; the box's own history of it would
  // otherwise undo it a second time, behind the window's back.
  if (isUndoAvailable() || isRedoAvailable()) {
    const QSignalBlocker quiet(this);
    const QString kept = text();
    setText(kept);
  }
  emit FocusLost();
}

void TextBox::mouseReleaseEvent(QMouseEvent* event) {
  QLineEdit::mouseReleaseEvent(event);
  // Keep a selection the user dragged; a plain click into the box selects it all.
  if (selectOnRelease_ && !hasSelectedText()) SelectWhole();
  selectOnRelease_ = false;
}

}  // namespace kavelin::app
