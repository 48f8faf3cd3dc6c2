#include "app/sheet_form.hpp"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTextBlock>

#include "app/form_layout.hpp"
#include "app/qt_text.hpp"
#include "app/text_box.hpp"
#include "sheet/numeric.hpp"
#include "sheet/stat_display.hpp"

namespace kavelin::app {
namespace {

using sheet::ListId;
using sheet::Section;

constexpr std::size_t Index(Section section) {
  return static_cast<std::size_t>(section);
}

}  // namespace

SheetForm::SheetForm(QWidget* parent) : QWidget(parent) {
  Place(this, "SheetForm", {0, 0, layout::kClientWidth, layout::kClientHeight});
  BuildIdentity();
  std::array<QWidget*, sheet::kSectionCount> frames{};
  for (std::size_t i = 0; i < frames.size(); ++i) {
    frames[i] = Frame(this, QStringLiteral("Frame%1").arg(i + 1), sheet::kSectionCaptions[i],
                      layout::kSectionFrames[i]);
    BuildSectionTop(frames[i], i);
  }
  BuildBasicStatus(frames[Index(Section::kBasicStatus)]);
  BuildInitialLevels(frames[Index(Section::kInitialLevels)]);
  BuildSlots(frames[Index(Section::kInitialArts)], Index(Section::kInitialArts));
  BuildSlots(frames[Index(Section::kInitialEquipment)], Index(Section::kInitialEquipment));
  BuildForbiddenSpells(frames[Index(Section::kForbiddenSpells)]);
  BuildOtherTraits(frames[Index(Section::kOtherTraits)]);
  BuildGrowthRates(frames[Index(Section::kGrowthRates)]);
  Caption(this, "Label6", u"コメント", layout::kCommentCaption);
  comment_ = new QPlainTextEdit(this);
  Place(comment_, "Text7", layout::kComment);
  comment_->setLineWrapMode(QPlainTextEdit::NoWrap);
  comment_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  comment_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Connect();
}

void SheetForm::BuildIdentity() {
  namespace at = layout::identity;
  const std::array<std::u16string_view, 3> captions = {u"名前", u"職業名", u"性別"};
  for (std::size_t i = 0; i < captions.size(); ++i) {
    Caption(this, QStringLiteral("Label%1").arg(104 + i), captions[i],
            layout::At(at::kCaptions, at::kTops[i], kCaptionHeight));
  }
  name_ = Box(this, "Text1", layout::At(at::kInputs, at::kTops[0], kBoxHeight), 0, u"");
  jobName_ = Box(this, "Text2", layout::At(at::kInputs, at::kTops[1], kBoxHeight), 0, u"");
  gender_ =
      List(this, "Combo1", layout::At(at::kInputs, at::kTops[2], kListHeight), ListId::kGender);
}

void SheetForm::BuildSectionTop(QWidget* frame, std::size_t section) {
  sectionOn_[section] = Tick(frame, Indexed("Check5", section), u"設定する", layout::kSectionOn);
  sectionLocked_[section] =
      Tick(frame, Indexed("Check6", section), u"変更禁止", layout::kSectionLocked);
  sectionLocked_[section]->setEnabled(false);
}

void SheetForm::BuildBasicStatus(QWidget* frame) {
  namespace at = layout::basic;
  const sheet::BasicStatus fresh;
  const std::array<std::u16string_view, 3> headings = {u"宿星", u"得意武器", u"合計"};
  for (std::size_t c = 0; c < headings.size(); ++c) {
    Caption(frame, QStringLiteral("Label%1").arg(27 + c), headings[c],
            layout::At(at::kHeadings[c], at::kHeadingsTop, kCaptionHeight), Qt::AlignCenter);
  }
  const std::array<const char*, kStats> captionNames = {
      "Label4(16)", "Label26", "Label25", "Label23", "Label22", "Label19", "Label14"};
  auto& inputs = sectionInputs_[Index(Section::kBasicStatus)];
  for (std::size_t k = 0; k < kStats; ++k) {
    const int top = at::kFirstStatTop + at::kStatStep * static_cast<int>(k);
    Caption(frame, captionNames[k], sheet::kStatCaptions[k],
            layout::At(at::kCaptions, top, kCaptionHeight));
    stats_[k] = Box(frame, Indexed("Text3", k), layout::At(at::kStats, top, kStackedHeight), 2,
                    fresh.stats[k]);
    const auto display = [&](const char* base, std::size_t column) {
      return Display(frame, Indexed(base, k),
                     layout::At(at::kDisplays[column], top, kCaptionHeight));
    };
    starShifts_[k] = display("Label11", 0);
    weaponShifts_[k] = display("Label13", 1);
    shiftedStats_[k] = display("Label18", 2);
    inputs.push_back(stats_[k]);
  }
  const std::array<std::u16string_view, 3> signs = {u"+", u"+", u"="};
  for (std::size_t c = 0; c < signs.size(); ++c) {
    Caption(frame, QStringLiteral("Label%1").arg(15 + c), signs[c],
            layout::At(at::kSigns[c], at::kSignsTop, kCaptionHeight), Qt::AlignCenter);
  }
  Caption(frame, "Label24", u"LP", layout::At(at::kCaptions, at::kLpTop, kCaptionHeight));
  lp_ = Box(frame, "Text4", at::kLp, 3, fresh.lp);
  destinyStar_ = List(frame, "Combo2", at::kDestinyStar, ListId::kDestinyStar);
  favouriteWeapon_ = List(frame, "Combo3", at::kFavouriteWeapon, ListId::kFavouriteWeapon);
  total_ = Display(frame, "Label20", at::kTotal);
  Caption(frame, "Label21", u"閃きタイプ", at::kInspirationCaption);
  inspirationType_ = List(frame, "Combo4", at::kInspiration, ListId::kInspirationType);
  inputs.insert(inputs.end(), {lp_, destinyStar_, favouriteWeapon_, inspirationType_});
}

void SheetForm::BuildInitialLevels(QWidget* frame) {
  namespace at = layout::levels;
  const sheet::InitialLevels fresh;
  auto* earthFrame = Frame(frame, "Frame8", u"地術LV", at::kEarthFrame);
  auto* heavenFrame = Frame(frame, "Frame9", u"天術LV", at::kHeavenFrame);
  // The earth and heaven levels sit inside their own frames.
  for (std::size_t j = 0; j < kLevels; ++j) {
    const bool inFrame = j == sheet::kEarthLevelIndex || j == sheet::kHeavenLevelIndex;
    QWidget* parent = j == sheet::kEarthLevelIndex    ? earthFrame
                      : j == sheet::kHeavenLevelIndex ? heavenFrame
                                                      : frame;
    const int top = at::kTops[j];
    if (!inFrame) {
      Caption(frame, Indexed("Label30", j), sheet::kLevelCaptions[j],
              layout::At(at::kCaptions, top, kCaptionHeight));
    }
    levels_[j] = Box(parent, Indexed("Text5", j),
                     layout::At(inFrame ? at::kBoxesInFrame : at::kBoxes, top, kStackedHeight),
                     j == 0 ? 3 : 2, fresh.levels[j]);
    levelGrows_[j] =
        Tick(parent, Indexed("Check3", j), u"成長",
             layout::At(inFrame ? at::kGrowsInFrame : at::kGrows, top, kCaptionHeight));
  }
  auto* earthGroup = new QButtonGroup(earthFrame);
  for (std::size_t i = 0; i < earthSchools_.size(); ++i) {
    earthSchools_[i] = new QRadioButton(Q(sheet::kEarthSchools[i]), earthFrame);
    Place(earthSchools_[i], Indexed("Option1", i), at::kEarthOptions[i]);
    earthGroup->addButton(earthSchools_[i], static_cast<int>(i));
  }
  auto* heavenGroup = new QButtonGroup(heavenFrame);
  for (std::size_t i = 0; i < heavenSchools_.size(); ++i) {
    heavenSchools_[i] = new QRadioButton(Q(sheet::kHeavenSchools[i]), heavenFrame);
    Place(heavenSchools_[i], Indexed("Option2", i), at::kHeavenOptions[i]);
    heavenGroup->addButton(heavenSchools_[i], static_cast<int>(i));
  }
  earthSchools_[0]->setChecked(true);
  heavenSchools_[0]->setChecked(true);

  auto& inputs = sectionInputs_[Index(Section::kInitialLevels)];
  for (std::size_t j = 0; j < kLevels; ++j)
    inputs.insert(inputs.end(), {levels_[j], levelGrows_[j]});
  inputs.insert(inputs.end(), earthSchools_.begin(), earthSchools_.end());
  inputs.insert(inputs.end(), heavenSchools_.begin(), heavenSchools_.end());
}

void SheetForm::BuildSlots(QWidget* frame, std::size_t section) {
  namespace at = layout::slot_rows;
  const bool arts = section == Index(Section::kInitialArts);
  const char* labelBase = arts ? "Label31" : "Label32";
  const char* listBase = arts ? "Combo5" : "Combo6";
  const std::array<std::u16string_view, 2> captions =
      arts ? std::array<std::u16string_view, 2>{u"技", u"術"}
           : std::array<std::u16string_view, 2>{u"武器", u"防具"};
  const std::array<ListId, 2> lists = arts ? std::array{ListId::kTechnique, ListId::kSpell}
                                           : std::array{ListId::kWeapon, ListId::kArmour};
  const std::array<std::array<QComboBox*, kSlots>*, 2> targets =
      arts ? std::array{&techniques_, &spells_} : std::array{&weapons_, &armour_};
  for (std::size_t s = 0; s < 2 * kSlots; ++s) {
    const std::size_t half = s / kSlots, slot = s % kSlots;
    const std::u16string caption =
        std::u16string(captions[half]) + static_cast<char16_t>(u'1' + slot);
    Caption(frame, Indexed(labelBase, s), caption,
            layout::At(at::kCaptions, at::kTops[s], kCaptionHeight));
    QComboBox* list = List(frame, Indexed(listBase, s),
                           layout::At(at::kLists, at::kTops[s], kStackedHeight), lists[half]);
    (*targets[half])[slot] = list;
    sectionInputs_[section].push_back(list);
  }
}

void SheetForm::BuildForbiddenSpells(QWidget* frame) {
  for (std::size_t i = 0; i < forbiddenSchools_.size(); ++i) {
    forbiddenSchools_[i] =
        Tick(frame, Indexed("Check4", i), sheet::kSpellSchools[i], layout::kForbiddenSchools[i]);
    sectionInputs_[Index(Section::kForbiddenSpells)].push_back(forbiddenSchools_[i]);
  }
}

void SheetForm::BuildOtherTraits(QWidget* frame) {
  namespace at = layout::traits;
  const std::array<std::u16string_view, 3> captions = {u"固有陣形", u"専用武器", u"コマンダー"};
  const std::array<ListId, 3> lists = {ListId::kFormation, ListId::kExclusiveWeapon,
                                       ListId::kCommanderType};
  const std::array<QComboBox**, 3> targets = {&formation_, &exclusiveWeapon_, &commanderType_};
  for (std::size_t i = 0; i < captions.size(); ++i) {
    const int top = at::kFirstTop + at::kStep * static_cast<int>(i);
    Caption(frame, Indexed("Label33", i), captions[i],
            layout::At(at::kCaptions, top, kCaptionHeight));
    *targets[i] =
        List(frame, Indexed("Combo7", i), layout::At(at::kLists, top, kStackedHeight), lists[i]);
    sectionInputs_[Index(Section::kOtherTraits)].push_back(*targets[i]);
  }
}

void SheetForm::BuildGrowthRates(QWidget* frame) {
  namespace at = layout::growth;
  const sheet::GrowthRates fresh;
  for (std::size_t n = 0; n < kGrowthRates; ++n) {
    const std::size_t side = n >= at::kFirstOnTheRight ? 1 : 0;
    Caption(frame, Indexed("Label34", n), sheet::kGrowthRateCaptions[n],
            layout::At(at::kCaptions[side], at::kTops[n], kCaptionHeight));
    growthRates_[n] =
        Box(frame, Indexed("Text6", n), layout::At(at::kBoxes[side], at::kTops[n], kStackedHeight),
            3, fresh.growthRates[n]);
    sectionInputs_[Index(Section::kGrowthRates)].push_back(growthRates_[n]);
  }
}

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
}

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
