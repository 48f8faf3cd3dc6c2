// The character sheet's part of the window: name, job name and gender, the seven section
// frames and the comment. It shows a sheet and reads it back, switches a section's inputs
// with its tick, keeps the statistic displays and tidies number boxes as the user leaves
// them.
#pragma once

#include <QWidget>
#include <array>
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

  // The control of a field, as the form plan names it; for a row of options, the option
  // at `option`. Null for the template's picture, which the form does not hold.
  QWidget* Control(validate::FieldId field, std::size_t option = 0) const;
  template <class Widget>
  Widget* ControlAs(validate::FieldId field, std::size_t option = 0) const {
    return static_cast<Widget*>(Control(field, option));
  }
  // The control that shows a field of the core: for a row of options, the one chosen.
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

  void FindControls();

  static constexpr std::size_t kStats = sheet::kStatCount;

  // Every field's control by kind, then by index, or by position for a row of options.
  std::array<std::vector<QWidget*>, sheet::kFieldKindCount> controls_;
  // The inputs each section's tick switches, in switching order.
  std::array<std::vector<QWidget*>, sheet::kSectionCount> sectionInputs_;

  std::array<QLabel*, kStats> starShifts_{};    // Label11(k)
  std::array<QLabel*, kStats> weaponShifts_{};  // Label13(k)
  std::array<QLabel*, kStats> shiftedStats_{};  // Label18(k)
  QLabel* total_ = nullptr;                     // Label20
  QPlainTextEdit* comment_ = nullptr;           // Text7
  bool showing_ = false;                        // a whole sheet is being shown, not edited
};

}  // namespace kavelin::app
