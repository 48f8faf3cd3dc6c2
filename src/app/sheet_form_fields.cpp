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
#include "app/qt_text.hpp"
#include "app/sheet_form.hpp"
#include "app/text_box.hpp"
#include "app/window_texts.hpp"
#include "text/encoding.hpp"

namespace kavelin::app {

void SheetForm::Connect() {
  for (std::size_t i = 0; i < sheet::kSectionCount; ++i) {
    for (QWidget* input : sectionInputs_[i])
      input->setEnabled(false);
    // toggled, not clicked: a tick set from code switches the section too.
    connect(sectionOn_[i], &QCheckBox::toggled, this,
            [this, i](bool on) { SectionToggled(i, on); });
  }
  connect(destinyStar_, &QComboBox::currentIndexChanged, this, &SheetForm::RecomputeStats);
  connect(favouriteWeapon_, &QComboBox::currentIndexChanged, this, &SheetForm::RecomputeStats);
  for (TextBox* box : stats_) {
    connect(box, &TextBox::FocusLost, this, [this, box] {
      TidyNumberBox(box);
      RecomputeStats();
    });
  }
  connect(lp_, &TextBox::FocusLost, this, [this] { TidyNumberBox(lp_); });

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

QWidget* SheetForm::FieldWidget(validate::FieldId field) const {
  using validate::FieldKind;
  const std::size_t i = field.index;
  const auto checked = [](const auto& options) -> QWidget* {
    for (QRadioButton* option : options)
      if (option->isChecked()) return option;
    return options.front();
  };
  switch (field.kind) {
    case FieldKind::kTemplatePicture:
      return nullptr;
    case FieldKind::kName:
      return name_;
    case FieldKind::kJobName:
      return jobName_;
    case FieldKind::kGender:
      return gender_;
    case FieldKind::kComment:
      return comment_;
    case FieldKind::kSectionEnabled:
      return i < sectionOn_.size() ? sectionOn_[i] : nullptr;
    case FieldKind::kSectionLocked:
      return i < sectionLocked_.size() ? sectionLocked_[i] : nullptr;
    case FieldKind::kStat:
      return i < stats_.size() ? stats_[i] : nullptr;
    case FieldKind::kLp:
      return lp_;
    case FieldKind::kDestinyStar:
      return destinyStar_;
    case FieldKind::kFavouriteWeapon:
      return favouriteWeapon_;
    case FieldKind::kInspirationType:
      return inspirationType_;
    case FieldKind::kLevel:
      return i < levels_.size() ? levels_[i] : nullptr;
    case FieldKind::kGrows:
      return i < levelGrows_.size() ? levelGrows_[i] : nullptr;
    case FieldKind::kEarthSchool:
      return checked(earthSchools_);
    case FieldKind::kHeavenSchool:
      return checked(heavenSchools_);
    case FieldKind::kTechnique:
      return i < techniques_.size() ? techniques_[i] : nullptr;
    case FieldKind::kSpell:
      return i < spells_.size() ? spells_[i] : nullptr;
    case FieldKind::kWeapon:
      return i < weapons_.size() ? weapons_[i] : nullptr;
    case FieldKind::kArmour:
      return i < armour_.size() ? armour_[i] : nullptr;
    case FieldKind::kForbiddenSchool:
      return i < forbiddenSchools_.size() ? forbiddenSchools_[i] : nullptr;
    case FieldKind::kFormation:
      return formation_;
    case FieldKind::kExclusiveWeapon:
      return exclusiveWeapon_;
    case FieldKind::kCommanderType:
      return commanderType_;
    case FieldKind::kGrowthRate:
      return i < growthRates_.size() ? growthRates_[i] : nullptr;
  }
  return nullptr;
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
