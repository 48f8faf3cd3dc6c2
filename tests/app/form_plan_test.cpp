// The form plan the web page is laid out from, held against the window control by control:
// the same name, place, size, text, accessible name and tooltip, so that neither can drift.
#include "app/form_plan.hpp"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <set>

#include "app/form_controls.hpp"
#include "app/qt_text.hpp"
#include "app/text_box.hpp"
#include "sheet/field_table.hpp"
#include "window_fixture.hpp"

namespace kavelin::app::testing {
namespace {

class FormPlanTest : public WindowTest {};

TEST_F(FormPlanTest, EveryPlannedControlIsTheWindowsOwn) {
  const std::vector<FormControl>& plan = FormPlan();
  ASSERT_GT(plan.size(), 200u);
  std::set<std::string> names;
  for (const FormControl& c : plan) {
    SCOPED_TRACE(c.name);
    EXPECT_TRUE(names.insert(c.name).second) << "two controls of one name";
    QWidget* w = window_.findChild<QWidget*>(QString::fromStdString(c.name));
    ASSERT_NE(w, nullptr);
    // The place within its parent: the window's frames are the plan's parents.
    if (c.parent >= 0) {
      EXPECT_EQ(w->parentWidget()->objectName().toStdString(),
                plan[static_cast<std::size_t>(c.parent)].name);
    }
    EXPECT_EQ(w->geometry(), QRect(Px(c.at.left), Px(c.at.top), Px(c.at.width), Px(c.at.height)));
    // A palette toggle's name goes on to say what its entry holds.
    if (c.name.starts_with("Check1(")) {
      EXPECT_TRUE(w->accessibleName().startsWith(Q(c.label) + ' '))
          << w->accessibleName().toStdString();
    } else if (!c.label.empty()) {
      EXPECT_EQ(w->accessibleName(), Q(c.label));
    }
    if (!c.tip.empty() && c.kind != ControlKind::kComment) {
      EXPECT_EQ(OwnTip(w), Q(c.tip));
    }
    QString shown;
    if (auto* label = qobject_cast<QLabel*>(w); label && c.kind == ControlKind::kCaption)
      shown = label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(w)) shown = button->text();
    if (auto* frame = qobject_cast<QGroupBox*>(w)) shown = frame->title();
    if (!c.text.empty() && c.kind != ControlKind::kBox) {
      EXPECT_EQ(shown, Q(c.text));
    }
    if (c.list) {
      auto* list = qobject_cast<QComboBox*>(w);
      ASSERT_NE(list, nullptr);
      EXPECT_EQ(static_cast<std::size_t>(list->count()), sheet::ListEntries(*c.list).size());
    }
    if (c.labels >= 0) {
      auto* label = qobject_cast<QLabel*>(w);
      ASSERT_NE(label, nullptr);
      EXPECT_EQ(label->buddy()->objectName().toStdString(),
                plan[static_cast<std::size_t>(c.labels)].name);
    }
  }
}

// One field changed at a time, shown and read back, lands in the control the plan names for
// it and nowhere else.
TEST_F(FormPlanTest, EachFieldIsShownAndReadThroughItsPlannedControl) {
  using sheet::FieldInput;
  for (const sheet::FieldRow& row : sheet::kFieldTable) {
    if (row.input == FieldInput::kPicture) continue;
    for (std::size_t i = 0; i < sheet::FieldCount(row); ++i) {
      const validate::FieldId field(row.kind, i);
      SCOPED_TRACE(validate::KeyPath(field));
      sheet::CharacterSheet changed;
      if (auto* text = sheet::ValueOf<std::u16string>(changed, field)) *text = u"7";
      if (auto* choice = sheet::ValueOf<int>(changed, field)) *choice = 1;
      if (auto* tick = sheet::ValueOf<bool>(changed, field)) *tick = true;
      window_.ShowSheet(changed);
      EXPECT_EQ(window_.ReadSheet(), changed);
      const std::size_t option = row.input == FieldInput::kOptions ? 1 : 0;
      const FormControl* planned = nullptr;
      for (const FormControl& c : FormPlan()) {
        if (c.field == field && (c.kind != ControlKind::kOption || c.limit == 1)) planned = &c;
      }
      ASSERT_NE(planned, nullptr);
      QWidget* w = window_.findChild<QWidget*>(QString::fromStdString(planned->name));
      ASSERT_NE(w, nullptr);
      if (row.input == FieldInput::kLine) {
        EXPECT_EQ(qobject_cast<TextBox*>(w)->text(), "7");
      } else if (row.input == FieldInput::kList) {
        EXPECT_EQ(qobject_cast<QComboBox*>(w)->currentIndex(), 1);
      } else if (row.input == FieldInput::kTick || option == 1) {
        EXPECT_TRUE(qobject_cast<QAbstractButton*>(w)->isChecked());
      }
    }
  }
}

TEST(FormPlanTexts, FillAndRangesReadAsTheWindowsDo) {
  EXPECT_EQ(Fill(u"%1 の値です。", {u"パレット3 R"}), u"パレット3 R の値です。");
  EXPECT_EQ(Fill(u"%2-%1-%-%3", {u"a", u"b"}), u"b-a-%-%3");
  EXPECT_EQ(CssText(image::Rgb(0xC0, 0xFF, 0xEE)), u"#C0FFEE");
  EXPECT_EQ(WordText(0x7FF), u"0x07FF");
}

// Each numeric field's tooltip names the range of its row, HP its own among the levels.
TEST(FormPlanTexts, RangesComeFromTheFieldTable) {
  using validate::FieldId;
  using K = validate::FieldKind;
  const std::vector<std::pair<FieldId, std::u16string_view>> cases = {
      {FieldId(K::kStat, 0), u"5～90"},
      {FieldId(K::kStat, 6), u"5～90"},
      {FieldId(K::kLp), u"3～99 または 128"},
      {FieldId(K::kLevel, 0), u"30～900"},
      {FieldId(K::kLevel, 1), u"0～31"},
      {FieldId(K::kLevel, 8), u"0～31"},
      {FieldId(K::kGrowthRate, 14), u"0～8 または 255"},
      {FieldId(K::kName), u""},
      {FieldId(K::kStat, 7), u""}};
  for (const auto& [field, text] : cases) {
    EXPECT_EQ(RangeText16(field), text) << validate::KeyPath(field);
  }
  std::size_t withRange = 0;
  for (const FormControl& c : FormPlan()) {
    if (!c.field || RangeText16(*c.field).empty()) continue;
    ++withRange;
    EXPECT_NE(c.tip.find(RangeText16(*c.field)), std::u16string::npos) << c.name;
  }
  EXPECT_EQ(withRange, sheet::kStatCount + 1 + sheet::kLevelCount + sheet::kGrowthRateCount);
}

}  // namespace
}  // namespace kavelin::app::testing
