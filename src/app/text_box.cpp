#include "app/text_box.hpp"

#include <QFocusEvent>
#include <QMouseEvent>
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
  emit FocusLost();
}

void TextBox::mouseReleaseEvent(QMouseEvent* event) {
  QLineEdit::mouseReleaseEvent(event);
  // Keep a selection the user dragged; a plain click into the box selects it all.
  if (selectOnRelease_ && !hasSelectedText()) SelectWhole();
  selectOnRelease_ = false;
}

}  // namespace kavelin::app
