// The character sheet's part of the window: name, job name and gender, the seven section
// frames and the comment. It shows a sheet and reads it back, switches a section's inputs
// with its tick, keeps the statistic displays and tidies number boxes as the user leaves
// them.
#pragma once

#include <QWidget>
#include <array>
#include <tuple>
#include <vector>

#include "sheet/catalogue.hpp"
#include "sheet/character_sheet.hpp"
#include "validate/field_id.hpp"

class QCheckBox;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QRadioButton;

namespace kavelin::app {

class TextBox;

class SheetForm : public QWidget {
  Q_OBJECT

 public:
  // Every control with its fresh value and no list selected; Reset selects them.
  explicit SheetForm(QWidget* parent = nullptr);

  // The start-up values: each list on its first entry, as a user's choice would set it.
  void Reset();
  // The whole sheet as the controls hold it, comment line breaks as CR LF.
  sheet::CharacterSheet Read() const;
  // Puts a whole sheet into the controls; reading it back gives the same sheet. List
  // positions outside their list select the first entry.
  void Show(const sheet::CharacterSheet& sheet);

  // The control that shows a field of the core, or null for the template's picture.
  QWidget* FieldWidget(validate::FieldId field) const;
  // Names, in the comment's tooltip, the characters a patch cannot store.
  void UpdateCommentHint();

 signals:
  // A value changed as the user typed or chose it; not when a whole sheet is shown.
  void Edited();
  // A change is finished: a choice or a tick, or a text box left after typing.
  void StepEnded();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildIdentity();
  void BuildSectionTop(QWidget* frame, std::size_t section);
  void BuildBasicStatus(QWidget* frame);
  void BuildInitialLevels(QWidget* frame);
  void BuildSlots(QWidget* frame, std::size_t section);
  void BuildForbiddenSpells(QWidget* frame);
  void BuildOtherTraits(QWidget* frame);
  void BuildGrowthRates(QWidget* frame);
  void Connect();

  void SectionToggled(std::size_t section, bool on);
  void RecomputeStats();
  static void TidyNumberBox(TextBox* box);
  QString CommentText() const;

  static constexpr std::size_t kStats = std::tuple_size_v<decltype(sheet::BasicStatus::stats)>;
  static constexpr std::size_t kLevels = std::tuple_size_v<decltype(sheet::InitialLevels::levels)>;
  static constexpr std::size_t kSlots = std::tuple_size_v<decltype(sheet::InitialArts::techniques)>;
  static constexpr std::size_t kGrowthRates =
      std::tuple_size_v<decltype(sheet::GrowthRates::growthRates)>;

  TextBox* name_ = nullptr;      // Text1
  TextBox* jobName_ = nullptr;   // Text2
  QComboBox* gender_ = nullptr;  // Combo1

  // Every section frame's top row and the inputs its tick switches, in switching order.
  std::array<QCheckBox*, sheet::kSectionCount> sectionOn_{};      // Check5(i)
  std::array<QCheckBox*, sheet::kSectionCount> sectionLocked_{};  // Check6(i)
  std::array<std::vector<QWidget*>, sheet::kSectionCount> sectionInputs_;

  std::array<TextBox*, kStats> stats_{};                                     // Text3(k)
  std::array<QLabel*, kStats> starShifts_{};                                 // Label11(k)
  std::array<QLabel*, kStats> weaponShifts_{};                               // Label13(k)
  std::array<QLabel*, kStats> shiftedStats_{};                               // Label18(k)
  QLabel* total_ = nullptr;                                                  // Label20
  TextBox* lp_ = nullptr;                                                    // Text4
  QComboBox* destinyStar_ = nullptr;                                         // Combo2
  QComboBox* favouriteWeapon_ = nullptr;                                     // Combo3
  QComboBox* inspirationType_ = nullptr;                                     // Combo4
  std::array<TextBox*, kLevels> levels_{};                                   // Text5(j)
  std::array<QCheckBox*, kLevels> levelGrows_{};                             // Check3(j)
  std::array<QRadioButton*, sheet::kEarthSchools.size()> earthSchools_{};    // Option1(i)
  std::array<QRadioButton*, sheet::kHeavenSchools.size()> heavenSchools_{};  // Option2(i)
  std::array<QComboBox*, kSlots> techniques_{};                              // Combo5(0..3)
  std::array<QComboBox*, kSlots> spells_{};                                  // Combo5(4..7)
  std::array<QComboBox*, kSlots> weapons_{};                                 // Combo6(0..3)
  std::array<QComboBox*, kSlots> armour_{};                                  // Combo6(4..7)
  std::array<QCheckBox*, sheet::kSpellSchools.size()> forbiddenSchools_{};   // Check4(i)
  QComboBox* formation_ = nullptr;                                           // Combo7(0)
  QComboBox* exclusiveWeapon_ = nullptr;                                     // Combo7(1)
  QComboBox* commanderType_ = nullptr;                                       // Combo7(2)
  std::array<TextBox*, kGrowthRates> growthRates_{};                         // Text6(n)
  QPlainTextEdit* comment_ = nullptr;
  bool showing_ = false;  // a whole sheet is being shown, not edited // Text7
};

}  // namespace kavelin::app
