// Reading and showing the sheet, and the form's own reactions: section switching, the
// statistic displays and tidying number boxes.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTextBlock>

#include "app/form_controls.hpp"
#include "app/qt_text.hpp"
#include "app/sheet_form.hpp"
#include "app/text_box.hpp"
#include "sheet/field_table.hpp"
#include "sheet/numeric.hpp"
#include "sheet/stat_display.hpp"

namespace kavelin::app {

using validate::FieldId;
using K = validate::FieldKind;

void SheetForm::Reset() {
  const sheet::CharacterSheet fresh;
  ControlAs<TextBox>(FieldId(K::kName))->setText(Q(fresh.name));
  ControlAs<TextBox>(FieldId(K::kJobName))->setText(Q(fresh.jobName));
  // The star alone does not fill the displays; the weapon's selection does.
  for (QComboBox* list : findChildren<QComboBox*>())
    list->setCurrentIndex(0);
}

sheet::CharacterSheet SheetForm::Read() const {
  sheet::CharacterSheet s;
  for (const sheet::FieldRow& row : sheet::kFieldTable) {
    for (std::size_t i = 0; i < sheet::FieldCount(row); ++i) {
      const FieldId field(row.kind, i);
      switch (row.input) {
        case sheet::FieldInput::kLine:
          *sheet::ValueOf<std::u16string>(s, field) = U16(ControlAs<TextBox>(field)->text());
          break;
        case sheet::FieldInput::kLines:
          *sheet::ValueOf<std::u16string>(s, field) =
              sheet::NormaliseLineBreaks(U16(CommentText()));
          break;
        case sheet::FieldInput::kList:
          *sheet::ValueOf<int>(s, field) = ControlAs<QComboBox>(field)->currentIndex();
          break;
        case sheet::FieldInput::kTick:
          *sheet::ValueOf<bool>(s, field) = ControlAs<QCheckBox>(field)->isChecked();
          break;
        case sheet::FieldInput::kOptions:
          for (std::size_t option = 0; option < row.choices; ++option) {
            if (ControlAs<QRadioButton>(field, option)->isChecked())
              *sheet::ValueOf<int>(s, field) = static_cast<int>(option);
          }
          break;
        case sheet::FieldInput::kPicture:
          break;
      }
    }
  }
  return s;
}

void SheetForm::Show(const sheet::CharacterSheet& s) {
  showing_ = true;
  for (const sheet::FieldRow& row : sheet::kFieldTable) {
    for (std::size_t i = 0; i < sheet::FieldCount(row); ++i) {
      const FieldId field(row.kind, i);
      switch (row.input) {
        case sheet::FieldInput::kLine:
          ControlAs<TextBox>(field)->setText(Q(*sheet::ValueOf<std::u16string>(s, field)));
          break;
        case sheet::FieldInput::kLines: {
          // The box shows one line break where the sheet keeps CR LF.
          QString comment = Q(*sheet::ValueOf<std::u16string>(s, field));
          comment.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace('\r', '\n');
          if (comment != CommentText()) comment_->setPlainText(comment);
          break;
        }
        case sheet::FieldInput::kList:
          Select(ControlAs<QComboBox>(field), *sheet::ValueOf<int>(s, field));
          break;
        case sheet::FieldInput::kTick:
          ControlAs<QCheckBox>(field)->setChecked(*sheet::ValueOf<bool>(s, field));
          break;
        case sheet::FieldInput::kOptions: {
          const int position = *sheet::ValueOf<int>(s, field);
          const bool inside = position >= 0 && static_cast<std::size_t>(position) < row.choices;
          ControlAs<QRadioButton>(field, inside ? static_cast<std::size_t>(position) : 0)
              ->setChecked(true);
          break;
        }
        case sheet::FieldInput::kPicture:
          break;
      }
    }
  }
  // New statistics with the same star and weapon raise no list event.
  RecomputeStats();
  showing_ = false;
  // One change for the whole sheet, so that it is checked again.
  emit Edited();
}

QString SheetForm::CommentText() const {
  // Block by block rather than toPlainText(), which turns no-break spaces into spaces.
  QStringList lines;
  for (QTextBlock block = comment_->document()->begin(); block.isValid(); block = block.next())
    lines << block.text();
  // Shift+Enter puts a line separator inside a block; the user meant a line break.
  return lines.join('\n').replace(QChar::LineSeparator, '\n');
}

void SheetForm::SectionToggled(std::size_t section, bool on) {
  // Only the enabled states change: values, ticks and selections stay as they were.
  Control(FieldId::Locked(static_cast<sheet::Section>(section)))->setEnabled(on);
  for (QWidget* input : sectionInputs_[section])
    input->setEnabled(on);
}

void SheetForm::RecomputeStats() {
  std::array<std::u16string, kStats> stats;
  for (std::size_t k = 0; k < kStats; ++k)
    stats[k] = U16(ControlAs<TextBox>(FieldId(K::kStat, k))->text());
  const auto display = sheet::RecomputeStatDisplay(
      stats, ControlAs<QComboBox>(FieldId(K::kDestinyStar))->currentIndex(),
      ControlAs<QComboBox>(FieldId(K::kFavouriteWeapon))->currentIndex());
  if (!display) return;
  for (std::size_t k = 0; k < kStats; ++k) {
    starShifts_[k]->setText(Q(display->starShift[k]));
    weaponShifts_[k]->setText(Q(display->weaponShift[k]));
    shiftedStats_[k]->setText(Q(display->shifted[k]));
  }
  total_->setText(Q(display->total));
}

void SheetForm::TidyNumberBox(TextBox* box) {
  const QString tidy = Q(sheet::TidyNumberBox(U16(box->text())));
  if (tidy != box->text()) box->setText(tidy);
}

}  // namespace kavelin::app
