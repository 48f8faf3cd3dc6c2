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

TEST(FormPlanTexts, FillAndRangesReadAsTheWindowsDo) {
  EXPECT_EQ(Fill(u"%1 の値です。", {u"パレット3 R"}), u"パレット3 R の値です。");
  EXPECT_EQ(Fill(u"%2-%1-%-%3", {u"a", u"b"}), u"b-a-%-%3");
  EXPECT_EQ(CssText(image::Rgb(0xC0, 0xFF, 0xEE)), u"#C0FFEE");
  EXPECT_EQ(WordText(0x7FF), u"0x07FF");
  EXPECT_EQ(RangeText16(validate::kStatRange), u"5～90");
  EXPECT_EQ(RangeText16(validate::kLpRange), u"3～99 または 128");
}

}  // namespace
}  // namespace kavelin::app::testing
