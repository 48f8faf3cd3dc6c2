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
#include "sheet/numeric.hpp"
#include "sheet/stat_display.hpp"

namespace kavelin::app {

void SheetForm::Reset() {
  const sheet::CharacterSheet fresh;
  name_->setText(Q(fresh.name));
  jobName_->setText(Q(fresh.jobName));
  // The star alone does not fill the displays; the weapon's selection does.
  for (QComboBox* list : findChildren<QComboBox*>())
    list->setCurrentIndex(0);
}

sheet::CharacterSheet SheetForm::Read() const {
  sheet::CharacterSheet s;
  s.name = U16(name_->text());
  s.jobName = U16(jobName_->text());
  s.gender = gender_->currentIndex();
  s.comment = sheet::NormaliseLineBreaks(U16(CommentText()));
  for (std::size_t i = 0; i < sheet::kSectionCount; ++i)
    s.flags[i] = {sectionOn_[i]->isChecked(), sectionLocked_[i]->isChecked()};

  auto& basic = s.basicStatus;
  for (std::size_t k = 0; k < kStats; ++k)
    basic.stats[k] = U16(stats_[k]->text());
  basic.lp = U16(lp_->text());
  basic.destinyStar = destinyStar_->currentIndex();
  basic.favouriteWeapon = favouriteWeapon_->currentIndex();
  basic.inspirationType = inspirationType_->currentIndex();

  auto& levels = s.initialLevels;
  for (std::size_t j = 0; j < kLevels; ++j) {
    levels.levels[j] = U16(levels_[j]->text());
    levels.grows[j] = levelGrows_[j]->isChecked();
  }
  for (std::size_t i = 0; i < earthSchools_.size(); ++i)
    if (earthSchools_[i]->isChecked()) levels.earthSchool = static_cast<int>(i);
  for (std::size_t i = 0; i < heavenSchools_.size(); ++i)
    if (heavenSchools_[i]->isChecked()) levels.heavenSchool = static_cast<int>(i);

  for (std::size_t i = 0; i < kSlots; ++i) {
    s.initialArts.techniques[i] = techniques_[i]->currentIndex();
    s.initialArts.spells[i] = spells_[i]->currentIndex();
    s.initialEquipment.weapons[i] = weapons_[i]->currentIndex();
    s.initialEquipment.armour[i] = armour_[i]->currentIndex();
  }
  for (std::size_t i = 0; i < forbiddenSchools_.size(); ++i)
    s.forbiddenSpells.forbiddenSchools[i] = forbiddenSchools_[i]->isChecked();
  s.otherTraits.formation = formation_->currentIndex();
  s.otherTraits.exclusiveWeapon = exclusiveWeapon_->currentIndex();
  s.otherTraits.commanderType = commanderType_->currentIndex();
  for (std::size_t n = 0; n < kGrowthRates; ++n)
    s.growthRates.growthRates[n] = U16(growthRates_[n]->text());
  return s;
}

void SheetForm::Show(const sheet::CharacterSheet& s) {
  showing_ = true;
  name_->setText(Q(s.name));
  jobName_->setText(Q(s.jobName));
  Select(gender_, s.gender);
  // The box shows one line break where the sheet keeps CR LF.
  QString comment = Q(s.comment);
  comment.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace('\r', '\n');
  if (comment != CommentText()) comment_->setPlainText(comment);
  for (std::size_t i = 0; i < sheet::kSectionCount; ++i) {
    sectionOn_[i]->setChecked(s.flags[i].enabled);
    sectionLocked_[i]->setChecked(s.flags[i].locked);
  }

  const auto& basic = s.basicStatus;
  for (std::size_t k = 0; k < kStats; ++k)
    stats_[k]->setText(Q(basic.stats[k]));
  lp_->setText(Q(basic.lp));
  Select(destinyStar_, basic.destinyStar);
  Select(favouriteWeapon_, basic.favouriteWeapon);
  Select(inspirationType_, basic.inspirationType);

  const auto& levels = s.initialLevels;
  for (std::size_t j = 0; j < kLevels; ++j) {
    levels_[j]->setText(Q(levels.levels[j]));
    levelGrows_[j]->setChecked(levels.grows[j]);
  }
  const auto pick = [](auto& options, int position) {
    const bool inside = position >= 0 && static_cast<std::size_t>(position) < options.size();
    options[inside ? static_cast<std::size_t>(position) : 0]->setChecked(true);
  };
  pick(earthSchools_, levels.earthSchool);
  pick(heavenSchools_, levels.heavenSchool);

  for (std::size_t i = 0; i < kSlots; ++i) {
    Select(techniques_[i], s.initialArts.techniques[i]);
    Select(spells_[i], s.initialArts.spells[i]);
    Select(weapons_[i], s.initialEquipment.weapons[i]);
    Select(armour_[i], s.initialEquipment.armour[i]);
  }
  for (std::size_t i = 0; i < forbiddenSchools_.size(); ++i)
    forbiddenSchools_[i]->setChecked(s.forbiddenSpells.forbiddenSchools[i]);
  Select(formation_, s.otherTraits.formation);
  Select(exclusiveWeapon_, s.otherTraits.exclusiveWeapon);
  Select(commanderType_, s.otherTraits.commanderType);
  for (std::size_t n = 0; n < kGrowthRates; ++n)
    growthRates_[n]->setText(Q(s.growthRates.growthRates[n]));
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
  sectionLocked_[section]->setEnabled(on);
  for (QWidget* input : sectionInputs_[section])
    input->setEnabled(on);
}

void SheetForm::RecomputeStats() {
  std::array<std::u16string, kStats> stats;
  for (std::size_t k = 0; k < kStats; ++k)
    stats[k] = U16(stats_[k]->text());
  const auto display = sheet::RecomputeStatDisplay(stats, destinyStar_->currentIndex(),
                                                   favouriteWeapon_->currentIndex());
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
