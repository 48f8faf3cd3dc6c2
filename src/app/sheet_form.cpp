#include "app/sheet_form.hpp"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTextBlock>

#include "app/form_controls.hpp"
#include "app/form_layout.hpp"
#include "app/qt_text.hpp"
#include "app/text_box.hpp"
#include "app/window_texts.hpp"
#include "sheet/numeric.hpp"
#include "sheet/stat_display.hpp"

namespace kavelin::app {
namespace {

using sheet::ListId;
using sheet::Section;
using K = validate::FieldKind;

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
  QLabel* commentLabel = Caption(this, "Label6", kCommentCaption, layout::kCommentCaption);
  comment_ = new QPlainTextEdit(this);
  Place(comment_, "Text7", layout::kComment);
  Label(commentLabel, comment_, Q(kCommentTip));
  comment_->setLineWrapMode(QPlainTextEdit::NoWrap);
  comment_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  comment_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  FindControls();
  Connect();
}

void SheetForm::BuildIdentity() {
  namespace at = layout::identity;
  std::array<QLabel*, 3> labels{};
  for (std::size_t i = 0; i < kIdentityCaptions.size(); ++i) {
    labels[i] = Caption(this, QStringLiteral("Label%1").arg(104 + i), kIdentityCaptions[i],
                        layout::At(at::kCaptions, at::kTops[i], kCaptionHeight));
  }
  TextBox* name = Box(this, "Text1", layout::At(at::kInputs, at::kTops[0], kBoxHeight), 0, u"");
  TextBox* jobName = Box(this, "Text2", layout::At(at::kInputs, at::kTops[1], kBoxHeight), 0, u"");
  QComboBox* gender =
      List(this, "Combo1", layout::At(at::kInputs, at::kTops[2], kListHeight), ListId::kGender);
  Label(labels[0], name, Q(kNameTip));
  Label(labels[1], jobName, Q(kJobNameTip));
  Label(labels[2], gender, Q(kGenderTip));
}

void SheetForm::BuildSectionTop(QWidget* frame, std::size_t section) {
  QCheckBox* on = Tick(frame, Indexed("Check5", section), kSectionOnCaption, layout::kSectionOn);
  QCheckBox* locked =
      Tick(frame, Indexed("Check6", section), kSectionLockedCaption, layout::kSectionLocked);
  locked->setEnabled(false);
  const QString caption = Q(sheet::kSectionCaptions[section]) + ' ';
  Describe(on, caption + Q(kSectionOnCaption), Q(kSectionOnTip));
  Describe(locked, caption + Q(kSectionLockedCaption), Q(kSectionLockedTip));
}

void SheetForm::BuildBasicStatus(QWidget* frame) {
  namespace at = layout::basic;
  const sheet::BasicStatus fresh;
  for (std::size_t c = 0; c < kBasicHeadings.size(); ++c) {
    Caption(frame, QStringLiteral("Label%1").arg(27 + c), kBasicHeadings[c],
            layout::At(at::kHeadings[c], at::kHeadingsTop, kCaptionHeight), Qt::AlignCenter);
  }
  const std::array<const char*, kStats> captionNames = {
      "Label4(16)", "Label26", "Label25", "Label23", "Label22", "Label19", "Label14"};
  auto& inputs = sectionInputs_[Index(Section::kBasicStatus)];
  for (std::size_t k = 0; k < kStats; ++k) {
    const int top = at::kFirstStatTop + at::kStatStep * static_cast<int>(k);
    QLabel* label = Caption(frame, captionNames[k], sheet::kStatCaptions[k],
                            layout::At(at::kCaptions, top, kCaptionHeight));
    TextBox* box = Box(frame, Indexed("Text3", k), layout::At(at::kStats, top, kStackedHeight), 2,
                       fresh.stats[k]);
    const QString stat = Q(sheet::kStatCaptions[k]);
    Label(label, box, Q(kStatTip).arg(stat, RangeText(validate::FieldId(K::kStat, k))));
    const auto display = [&](const char* base, std::size_t column) {
      return Display(frame, Indexed(base, k),
                     layout::At(at::kDisplays[column], top, kCaptionHeight));
    };
    starShifts_[k] = display("Label11", 0);
    weaponShifts_[k] = display("Label13", 1);
    shiftedStats_[k] = display("Label18", 2);
    Describe(starShifts_[k], stat + Q(kStarShiftName), Q(kStarShiftTip).arg(stat));
    Describe(weaponShifts_[k], stat + Q(kWeaponShiftName), Q(kWeaponShiftTip).arg(stat));
    Describe(shiftedStats_[k], stat + Q(kShiftedName), Q(kShiftedTip).arg(stat));
    inputs.push_back(box);
  }
  for (std::size_t c = 0; c < kBasicSigns.size(); ++c) {
    Caption(frame, QStringLiteral("Label%1").arg(15 + c), kBasicSigns[c],
            layout::At(at::kSigns[c], at::kSignsTop, kCaptionHeight), Qt::AlignCenter);
  }
  QLabel* lpLabel =
      Caption(frame, "Label24", kLpCaption, layout::At(at::kCaptions, at::kLpTop, kCaptionHeight));
  TextBox* lp = Box(frame, "Text4", at::kLp, 3, fresh.lp);
  Label(lpLabel, lp, Q(kLpTip).arg(RangeText(validate::FieldId(K::kLp))));
  QComboBox* destinyStar = List(frame, "Combo2", at::kDestinyStar, ListId::kDestinyStar);
  QComboBox* favouriteWeapon =
      List(frame, "Combo3", at::kFavouriteWeapon, ListId::kFavouriteWeapon);
  // The lists stand under the column headings that name them.
  Describe(destinyStar, Q(kDestinyStarName), Q(kDestinyStarTip));
  Describe(favouriteWeapon, Q(kFavouriteWeaponName), Q(kFavouriteWeaponTip));
  total_ = Display(frame, "Label20", at::kTotal);
  Describe(total_, Q(kTotalName), Q(kTotalTip));
  QLabel* inspirationLabel =
      Caption(frame, "Label21", kInspirationCaption, at::kInspirationCaption);
  QComboBox* inspirationType = List(frame, "Combo4", at::kInspiration, ListId::kInspirationType);
  Label(inspirationLabel, inspirationType, Q(kInspirationTip));
  inputs.insert(inputs.end(), {lp, destinyStar, favouriteWeapon, inspirationType});
}

void SheetForm::BuildInitialLevels(QWidget* frame) {
  namespace at = layout::levels;
  const sheet::InitialLevels fresh;
  auto* earthFrame = Frame(frame, "Frame8", kEarthFrameCaption, at::kEarthFrame);
  auto* heavenFrame = Frame(frame, "Frame9", kHeavenFrameCaption, at::kHeavenFrame);
  constexpr std::size_t kLevels = sheet::kLevelCount;
  std::array<TextBox*, kLevels> levels{};
  std::array<QCheckBox*, kLevels> grows{};
  std::array<QRadioButton*, sheet::kEarthSchoolCount> earthSchools{};
  std::array<QRadioButton*, sheet::kHeavenSchoolCount> heavenSchools{};
  // The earth and heaven levels sit inside their own frames.
  for (std::size_t j = 0; j < kLevels; ++j) {
    const bool inFrame = j == sheet::kEarthLevelIndex || j == sheet::kHeavenLevelIndex;
    QWidget* parent = j == sheet::kEarthLevelIndex    ? earthFrame
                      : j == sheet::kHeavenLevelIndex ? heavenFrame
                                                      : frame;
    const int top = at::kTops[j];
    levels[j] = Box(parent, Indexed("Text5", j),
                    layout::At(inFrame ? at::kBoxesInFrame : at::kBoxes, top, kStackedHeight),
                    j == 0 ? 3 : 2, fresh.levels[j]);
    grows[j] = Tick(parent, Indexed("Check3", j), kGrowsCaption,
                    layout::At(inFrame ? at::kGrowsInFrame : at::kGrows, top, kCaptionHeight));
    // The earth and heaven levels are named by their frames' captions.
    const QString level = Q(sheet::kLevelCaptions[j]);
    const validate::FieldId field(K::kLevel, j);
    const QString tip =
        j == 0 ? Q(kInitialHpTip).arg(RangeText(field)) : Q(kLevelTip).arg(level, RangeText(field));
    if (inFrame) {
      Describe(levels[j], level, tip);
    } else {
      Label(Caption(frame, Indexed("Label30", j), sheet::kLevelCaptions[j],
                    layout::At(at::kCaptions, top, kCaptionHeight)),
            levels[j], tip);
    }
    Describe(grows[j], level + ' ' + Q(kGrowsCaption), Q(kGrowsTip).arg(level));
  }
  auto* earthGroup = new QButtonGroup(earthFrame);
  for (std::size_t i = 0; i < earthSchools.size(); ++i) {
    earthSchools[i] = new QRadioButton(Q(sheet::kEarthSchools[i]), earthFrame);
    Place(earthSchools[i], Indexed("Option1", i), at::kEarthOptions[i]);
    earthGroup->addButton(earthSchools[i], static_cast<int>(i));
  }
  auto* heavenGroup = new QButtonGroup(heavenFrame);
  for (std::size_t i = 0; i < heavenSchools.size(); ++i) {
    heavenSchools[i] = new QRadioButton(Q(sheet::kHeavenSchools[i]), heavenFrame);
    Place(heavenSchools[i], Indexed("Option2", i), at::kHeavenOptions[i]);
    heavenGroup->addButton(heavenSchools[i], static_cast<int>(i));
  }
  earthSchools[0]->setChecked(true);
  heavenSchools[0]->setChecked(true);
  for (QRadioButton* option : earthSchools)
    Describe(option, option->text(), Q(kEarthSchoolTip));
  for (QRadioButton* option : heavenSchools)
    Describe(option, option->text(), Q(kHeavenSchoolTip));
  // Reading order: the rows on the left, then each nested frame from its top.
  std::vector<QWidget*> order;
  for (std::size_t j = 0; j < kLevels; ++j) {
    if (j != sheet::kEarthLevelIndex && j != sheet::kHeavenLevelIndex)
      order.insert(order.end(), {levels[j], grows[j]});
  }
  for (const std::size_t j : {sheet::kEarthLevelIndex, sheet::kHeavenLevelIndex}) {
    order.insert(order.end(), {levels[j], grows[j]});
    if (j == sheet::kEarthLevelIndex)
      order.insert(order.end(), earthSchools.begin(), earthSchools.end());
  }
  order.insert(order.end(), heavenSchools.begin(), heavenSchools.end());
  for (std::size_t i = 1; i < order.size(); ++i)
    setTabOrder(order[i - 1], order[i]);

  auto& inputs = sectionInputs_[Index(Section::kInitialLevels)];
  for (std::size_t j = 0; j < kLevels; ++j)
    inputs.insert(inputs.end(), {levels[j], grows[j]});
  inputs.insert(inputs.end(), earthSchools.begin(), earthSchools.end());
  inputs.insert(inputs.end(), heavenSchools.begin(), heavenSchools.end());
}

void SheetForm::BuildSlots(QWidget* frame, std::size_t section) {
  namespace at = layout::slot_rows;
  const bool arts = section == Index(Section::kInitialArts);
  const char* labelBase = arts ? "Label31" : "Label32";
  const char* listBase = arts ? "Combo5" : "Combo6";
  const std::array<std::u16string_view, 2>& captions =
      arts ? kArtSlotCaptions : kEquipmentSlotCaptions;
  const std::array<ListId, 2> lists = arts ? std::array{ListId::kTechnique, ListId::kSpell}
                                           : std::array{ListId::kWeapon, ListId::kArmour};
  constexpr std::size_t kSlots = sheet::kArtSlots;
  static_assert(sheet::kArtSlots == sheet::kEquipmentSlots, "both sections' rows are alike");
  for (std::size_t s = 0; s < 2 * kSlots; ++s) {
    const std::size_t half = s / kSlots, slot = s % kSlots;
    const std::u16string caption =
        std::u16string(captions[half]) + static_cast<char16_t>(u'1' + slot);
    QLabel* label = Caption(frame, Indexed(labelBase, s), caption,
                            layout::At(at::kCaptions, at::kTops[s], kCaptionHeight));
    QComboBox* list = List(frame, Indexed(listBase, s),
                           layout::At(at::kLists, at::kTops[s], kStackedHeight), lists[half]);
    Label(label, list, Q(kSlotTip).arg(Q(caption)));
    sectionInputs_[section].push_back(list);
  }
}

void SheetForm::BuildForbiddenSpells(QWidget* frame) {
  for (std::size_t i = 0; i < sheet::kSpellSchoolCount; ++i) {
    QCheckBox* tick =
        Tick(frame, Indexed("Check4", i), sheet::kSpellSchools[i], layout::kForbiddenSchools[i]);
    Describe(tick, Q(sheet::kSpellSchools[i]), Q(kForbiddenTip).arg(Q(sheet::kSpellSchools[i])));
    sectionInputs_[Index(Section::kForbiddenSpells)].push_back(tick);
  }
}

void SheetForm::BuildOtherTraits(QWidget* frame) {
  namespace at = layout::traits;
  const std::array<ListId, 3> lists = {ListId::kFormation, ListId::kExclusiveWeapon,
                                       ListId::kCommanderType};
  for (std::size_t i = 0; i < kTraitCaptions.size(); ++i) {
    const int top = at::kFirstTop + at::kStep * static_cast<int>(i);
    QLabel* label = Caption(frame, Indexed("Label33", i), kTraitCaptions[i],
                            layout::At(at::kCaptions, top, kCaptionHeight));
    QComboBox* list =
        List(frame, Indexed("Combo7", i), layout::At(at::kLists, top, kStackedHeight), lists[i]);
    Label(label, list, Q(kTraitTip).arg(Q(kTraitCaptions[i])));
    sectionInputs_[Index(Section::kOtherTraits)].push_back(list);
  }
}

void SheetForm::BuildGrowthRates(QWidget* frame) {
  namespace at = layout::growth;
  const sheet::GrowthRates fresh;
  for (std::size_t n = 0; n < sheet::kGrowthRateCount; ++n) {
    const std::size_t side = n >= at::kFirstOnTheRight ? 1 : 0;
    QLabel* label = Caption(frame, Indexed("Label34", n), sheet::kGrowthRateCaptions[n],
                            layout::At(at::kCaptions[side], at::kTops[n], kCaptionHeight));
    TextBox* box =
        Box(frame, Indexed("Text6", n), layout::At(at::kBoxes[side], at::kTops[n], kStackedHeight),
            3, fresh.growthRates[n]);
    Label(label, box,
          Q(kGrowthRateTip)
              .arg(Q(sheet::kGrowthRateCaptions[n]),
                   RangeText(validate::FieldId(K::kGrowthRate, n))));
    sectionInputs_[Index(Section::kGrowthRates)].push_back(box);
  }
}

}  // namespace kavelin::app
