// The form's reactions and what it tells the window: a change as it happens (for the live
// check) and a finished step (for undo), and which control shows each field of the core.
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTextDocument>

#include "app/form_controls.hpp"
#include "app/form_plan.hpp"
#include "app/qt_text.hpp"
#include "app/sheet_form.hpp"
#include "app/text_box.hpp"
#include "app/window_texts.hpp"
#include "text/encoding.hpp"

namespace kavelin::app {

using validate::FieldId;
using K = validate::FieldKind;

void SheetForm::FindControls() {
  // The plan is the one place that names each field's control; the form reaches them
  // through their fields from here on.
  for (const FormControl& c : FormPlan()) {
    if (!c.field || c.kind == ControlKind::kPicture) continue;
    auto* control = findChild<QWidget*>(QString::fromStdString(c.name));
    Q_ASSERT(control != nullptr);
    const std::size_t at =
        c.kind == ControlKind::kOption ? static_cast<std::size_t>(c.limit) : c.field->index;
    auto& row = controls_[static_cast<std::size_t>(c.field->kind)];
    if (row.size() <= at) row.resize(at + 1);
    row[at] = control;
  }
}

QWidget* SheetForm::Control(FieldId field, std::size_t option) const {
  if (!sheet::IsField(field)) return nullptr;
  const auto& row = controls_[static_cast<std::size_t>(field.kind)];
  const std::size_t at =
      sheet::Row(field.kind).input == sheet::FieldInput::kOptions ? option : field.index;
  return at < row.size() ? row[at] : nullptr;
}

void SheetForm::Connect() {
  for (std::size_t i = 0; i < sheet::kSectionCount; ++i) {
    for (QWidget* input : sectionInputs_[i])
      input->setEnabled(false);
    // toggled, not clicked: a tick set from code switches the section too.
    connect(ControlAs<QCheckBox>(FieldId::Enabled(static_cast<sheet::Section>(i))),
            &QCheckBox::toggled, this, [this, i](bool on) { SectionToggled(i, on); });
  }
  for (const K kind : {K::kDestinyStar, K::kFavouriteWeapon}) {
    connect(ControlAs<QComboBox>(FieldId(kind)), &QComboBox::currentIndexChanged, this,
            &SheetForm::RecomputeStats);
  }
  for (std::size_t k = 0; k < kStats; ++k) {
    TextBox* box = ControlAs<TextBox>(FieldId(K::kStat, k));
    connect(box, &TextBox::FocusLost, this, [this, box] {
      TidyNumberBox(box);
      RecomputeStats();
    });
  }
  TextBox* lp = ControlAs<TextBox>(FieldId(K::kLp));
  connect(lp, &TextBox::FocusLost, this, [lp] { TidyNumberBox(lp); });

  // Every change is reported as it happens; a choice or a tick is a finished step at once,
  // typing only when the box is left.
  const auto changed = [this] {
    if (!showing_) emit Edited();
  };
  const auto stepped = [this] {
    if (!showing_) emit StepEnded();
  };
  for (QCheckBox* tick : findChildren<QCheckBox*>()) {
    connect(tick, &QCheckBox::toggled, this, changed);
    connect(tick, &QCheckBox::toggled, this, stepped);
  }
  for (QRadioButton* option : findChildren<QRadioButton*>()) {
    // Only the option that comes on: one step for one choice.
    connect(option, &QRadioButton::toggled, this, [changed, stepped](bool on) {
      if (!on) return;
      changed();
      stepped();
    });
  }
  for (QComboBox* list : findChildren<QComboBox*>()) {
    connect(list, &QComboBox::currentIndexChanged, this, changed);
    connect(list, &QComboBox::currentIndexChanged, this, stepped);
  }
  for (TextBox* box : findChildren<TextBox*>()) {
    connect(box, &TextBox::textChanged, this, changed);
    // After the tidying above, which may change the text once more.
    connect(box, &TextBox::FocusLost, this, stepped);
  }
  connect(comment_, &QPlainTextEdit::textChanged, this, changed);
  comment_->installEventFilter(this);
}

bool SheetForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == comment_) {
    const QTextDocument* typed = comment_->document();
    if (PassUndoToWindow(event, typed->isUndoAvailable(), typed->isRedoAvailable())) return true;
    if (event->type() == QEvent::FocusOut && !showing_) {
      // The typing is a step of the character now; see TextBox. A popup is no leaving.
      if (static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason)
        comment_->document()->clearUndoRedoStacks();
      emit StepEnded();
    }
  }
  return QWidget::eventFilter(watched, event);
}

QWidget* SheetForm::FieldWidget(FieldId field) const {
  if (!sheet::IsField(field)) return nullptr;
  const sheet::FieldRow& row = sheet::Row(field.kind);
  if (row.input != sheet::FieldInput::kOptions) return Control(field);
  // A row of options is shown by the one chosen.
  for (std::size_t i = 0; i < row.choices; ++i) {
    if (auto* option = ControlAs<QRadioButton>(field, i); option->isChecked()) return option;
  }
  return Control(field, 0);
}

void SheetForm::UpdateCommentHint() {
  // The comment's own tooltip names what the patch will store as "?".
  const std::u16string lacking = text::Cp932Lacks(sheet::NormaliseLineBreaks(U16(CommentText())));
  const QString tip = lacking.empty() ? Q(kCommentTip)
                                      : Q(kCommentTip) + '\n' + Q(kCommentLacksTip).arg(Q(lacking));
  const QString shown = comment_->toolTip();
  Describe(comment_, comment_->accessibleName(), tip);
  if (MarkOf(comment_) != Mark::kNone) comment_->setToolTip(shown);  // the mark's message stays
}

}  // namespace kavelin::app
