// The window's controls, defaults, section switches, statistic displays, number tidying,
// focus selection, and the sheet in both directions.
#include <QCheckBox>
#include <QFontMetrics>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTest>

#include "app/qt_text.hpp"
#include "window_fixture.hpp"

namespace kavelin::app::testing {
namespace {

// Commits text as the Japanese input method does; QTest::keyClicks takes ASCII only.
void Commit(QWidget* box, const QString& text) {
  QInputMethodEvent event;
  event.setCommitString(text);
  QApplication::sendEvent(box, &event);
}

void Focus(QWidget* widget) {
  widget->setFocus(Qt::TabFocusReason);
  QApplication::processEvents();
}

// Every input that Check5(section) switches, by its control names.
const std::array<QStringList, 7> kSectionInputs = {{
    {"Text3", "Text4", "Combo2", "Combo3", "Combo4"},
    {"Text5", "Check3", "Option1", "Option2"},
    {"Combo5"},
    {"Combo6"},
    {"Check4"},
    {"Combo7"},
    {"Text6"},
}};

class MainWindowTest : public WindowTest {
 protected:
  std::vector<QWidget*> InputsOf(std::size_t section) {
    std::vector<QWidget*> inputs;
    for (const QString& base : kSectionInputs[section]) {
      const QRegularExpression name("^" + base + "(\\(\\d+\\))?$");
      for (QWidget* w : window_.findChildren<QWidget*>(name))
        inputs.push_back(w);
    }
    return inputs;
  }
  void ShowActive() {
    window_.show();
    window_.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
  }
};

TEST_F(MainWindowTest, StartsWithTheFreshSheetFullListsAndOnlyTopFieldsEnabled) {
  EXPECT_EQ(window_.windowTitle(), "Kavelin");
  // The client area keeps its size and positions; the menu bar adds its height above it.
  const int menuHeight = window_.findChild<QMenuBar*>()->height();
  EXPECT_GT(menuHeight, 10);
  const int statusHeight = window_.findChild<QStatusBar*>("StatusBar")->height();
  EXPECT_GT(statusHeight, 0);
  EXPECT_EQ(window_.size(), QSize(791, 592 + menuHeight + statusHeight));
  auto* client = Get<QWidget>("Client");
  EXPECT_EQ(QRect(client->mapTo(&window_, QPoint()), client->size()),
            QRect(0, menuHeight, 791, 592));
  EXPECT_EQ(Get<QWidget>("Command1")->mapTo(&window_, QPoint(0, 0)), QPoint(664, 568 + menuHeight));
  EXPECT_EQ(window_.ReadSheet(), sheet::CharacterSheet{});
  const std::vector<std::pair<QString, int>> counts = {
      {"Combo1", 4},      {"Combo2", 5},     {"Combo3", 9},     {"Combo4", 11},
      {"Combo5(3)", 105}, {"Combo5(4)", 41}, {"Combo5(7)", 41}, {"Combo6(1)", 90},
      {"Combo6(6)", 100}, {"Combo7(0)", 11}, {"Combo7(1)", 16}, {"Combo7(2)", 9},
  };
  for (const auto& [name, count] : counts)
    EXPECT_EQ(Get<QComboBox>(name)->count(), count) << name.toStdString();

  for (const char* name : {"Text1", "Text2", "Combo1", "Text7", "Command1", "Command2"})
    EXPECT_TRUE(Get<QWidget>(name)->isEnabled()) << name;
  EXPECT_FALSE(Get<QCheckBox>("Check2")->isEnabled());
  EXPECT_FALSE(Get<QPushButton>("Check1(15)")->isEnabled());
  EXPECT_EQ(Get<QPushButton>("Check1(15)")->text(), "0F");
  for (std::size_t i = 0; i < 7; ++i) {
    EXPECT_TRUE(Get<QCheckBox>(QString("Check5(%1)").arg(i))->isEnabled());
    EXPECT_FALSE(Get<QCheckBox>(QString("Check6(%1)").arg(i))->isEnabled());
    for (QWidget* input : InputsOf(i))
      EXPECT_FALSE(input->isEnabled()) << input->objectName().toStdString();
  }
}

TEST_F(MainWindowTest, EveryControlHasTheJapaneseFaceWithoutTofu) {
  for (const char* name : {"Label103", "Check5(0)", "Combo5(0)", "Text7", "Command1"}) {
    const QFont font = Get<QWidget>(name)->font();
    EXPECT_EQ(font.family(), QString::fromUtf16(kWindowFontFamily)) << name;
    EXPECT_EQ(font.pointSize(), 9) << name;
    EXPECT_TRUE(QFontMetrics(font).inFont(QChar(u'龍'))) << name;
  }
}

TEST_F(MainWindowTest, DisplaysFollowListSelectionsMadeFromCode) {
  EXPECT_EQ(Texts("Label11", 7), QStringList({"-1", "0", "2", "-1", "1", "-1", "1"}));
  EXPECT_EQ(Texts("Label13", 7), QStringList({"0", "0", "0", "0", "0", "0", "1"}));
  EXPECT_EQ(Texts("Label18", 7), QStringList({" 14", " 15", " 17", " 14", " 16", " 14", " 17"}));
  EXPECT_EQ(Text("Label20"), " 107");

  // The section is off: only code can change the lists, and the displays follow anyway.
  Get<QComboBox>("Combo2")->setCurrentIndex(4);
  Get<QComboBox>("Combo3")->setCurrentIndex(7);
  EXPECT_EQ(Texts("Label18", 7), QStringList({" 17", " 14", " 17", " 19", " 11", " 12", " 15"}));
  EXPECT_EQ(Text("Label20"), " 105");
}

TEST_F(MainWindowTest, SectionsSwitchOffAndOnKeepingTheirValues) {
  for (std::size_t i = 0; i < 7; ++i) {
    auto* on = Get<QCheckBox>(QString("Check5(%1)").arg(i));
    auto* locked = Get<QCheckBox>(QString("Check6(%1)").arg(i));
    on->setChecked(true);
    EXPECT_TRUE(locked->isEnabled());
    for (QWidget* input : InputsOf(i))
      EXPECT_TRUE(input->isEnabled()) << input->objectName().toStdString();
    locked->setChecked(true);
    on->setChecked(false);
    EXPECT_FALSE(locked->isEnabled());
    EXPECT_TRUE(locked->isChecked());
    for (QWidget* input : InputsOf(i))
      EXPECT_FALSE(input->isEnabled()) << input->objectName().toStdString();
  }
  EXPECT_TRUE(Get<QWidget>("Frame4")->isEnabled());
  EXPECT_TRUE(Get<QWidget>("Label32(0)")->isEnabled());

  Get<QCheckBox>("Check5(3)")->setChecked(true);
  Get<QComboBox>("Combo6(2)")->setCurrentIndex(5);
  Get<QCheckBox>("Check5(3)")->setChecked(false);
  Get<QCheckBox>("Check5(3)")->setChecked(true);
  EXPECT_EQ(Get<QComboBox>("Combo6(2)")->currentIndex(), 5);
  EXPECT_TRUE(window_.ReadSheet().flags[3].locked);
}

TEST_F(MainWindowTest, StatisticAndLpBoxesAreTidiedWhenLeft) {
  ShowActive();
  Get<QCheckBox>("Check5(0)")->setChecked(true);
  auto* strength = Get<QLineEdit>("Text3(0)");
  Focus(strength);
  Commit(strength, Q(u"１２"));
  EXPECT_EQ(Text("Label18(0)"), " 14");  // not while typing
  Focus(Get<QLineEdit>("Text3(1)"));
  EXPECT_EQ(strength->text(), "12");
  EXPECT_EQ(Text("Label18(0)"), " 11");
  EXPECT_EQ(Text("Label20"), " 104");

  QTest::keyClicks(Get<QLineEdit>("Text3(1)"), "x");
  auto* lp = Get<QLineEdit>("Text4");
  Focus(lp);
  EXPECT_EQ(Get<QLineEdit>("Text3(1)")->text(), "0");
  EXPECT_EQ(Text("Label18(1)"), " 0");

  Commit(lp, Q(u"0７"));
  const QString total = Text("Label20");
  Focus(Get<QLineEdit>("Text1"));
  EXPECT_EQ(lp->text(), "7");
  EXPECT_EQ(Text("Label20"), total);

  // Level boxes keep what was typed.
  Get<QCheckBox>("Check5(1)")->setChecked(true);
  auto* slash = Get<QLineEdit>("Text5(1)");
  Focus(slash);
  Commit(slash, Q(u"１ａ"));
  Focus(lp);
  EXPECT_EQ(slash->text(), Q(u"１ａ"));
}

TEST_F(MainWindowTest, SingleLineBoxesSelectAllOnFocusAndLimitTyping) {
  ShowActive();
  Get<QCheckBox>("Check5(0)")->setChecked(true);
  auto* name = Get<QLineEdit>("Text1");
  QTest::mouseClick(name, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(name->selectedText(), Q(u"名無しさん"));
  EXPECT_EQ(name->cursorPosition(), 0);
  QTest::keyClicks(name, "A");
  EXPECT_EQ(name->text(), "A");

  auto* strength = Get<QLineEdit>("Text3(0)");
  Focus(strength);
  EXPECT_EQ(strength->selectedText(), "15");
  QTest::keyClicks(strength, "123");
  EXPECT_EQ(strength->text(), "12");

  // The comment box keeps the platform's own behaviour.
  auto* comment = Get<QPlainTextEdit>("Text7");
  comment->setPlainText("abc");
  Focus(comment);
  EXPECT_FALSE(comment->textCursor().hasSelection());
}

sheet::CharacterSheet EverythingChanged() {
  sheet::CharacterSheet s;
  s.name = u"ローラ";
  s.jobName = u"";
  s.gender = 3;
  s.comment = u"一行目\r\n\u00a0二行目 <b>\r\n\r\n";
  for (std::size_t i = 0; i < s.flags.size(); ++i)
    s.flags[i] = {i % 2 == 0, i % 3 == 0};
  s.basicStatus.stats = {u"5", u"90", u"１２", u"100", u"x", u"", u"1.5"};
  s.basicStatus.lp = u"128";
  s.basicStatus.destinyStar = 3;
  s.basicStatus.favouriteWeapon = 8;
  s.basicStatus.inspirationType = 10;
  s.initialLevels.levels = {u"900", u"31", u"0", u"1", u"2", u"3", u"4", u"5", u"6"};
  s.initialLevels.grows = {true, false, true, false, true, false, true, true, false};
  s.initialLevels.earthSchool = 3;
  s.initialLevels.heavenSchool = 1;
  s.initialArts.techniques = {1, 0, 104, 1};
  s.initialArts.spells = {40, 0, 0, 7};
  s.initialEquipment.weapons = {89, 1, 2, 3};
  s.initialEquipment.armour = {99, 0, 50, 0};
  s.forbiddenSpells.forbiddenSchools = {true, false, false, true, false, true};
  s.otherTraits = {10, 15, 8};
  s.growthRates.growthRates[0] = u"255";
  s.growthRates.growthRates[14] = u"8";
  return s;
}

TEST_F(MainWindowTest, ShowingASheetAndReadingItBackGivesTheSameSheet) {
  const sheet::CharacterSheet sheet = EverythingChanged();
  window_.ShowSheet(sheet);
  EXPECT_EQ(window_.ReadSheet(), sheet);
  // Longer than can be typed, yet shown whole.
  EXPECT_EQ(Get<QLineEdit>("Text3(3)")->text(), "100");
  EXPECT_TRUE(Get<QWidget>("Combo2")->isEnabled());
  EXPECT_FALSE(Get<QWidget>("Text5(0)")->isEnabled());
  EXPECT_EQ(Text("Label18(0)"), " 5");  // 5 + 2 - 2

  window_.ShowSheet(sheet::CharacterSheet{});
  EXPECT_EQ(window_.ReadSheet(), sheet::CharacterSheet{});
  EXPECT_FALSE(Get<QWidget>("Combo2")->isEnabled());

  // Typed line breaks, Shift+Enter's among them, are read as CR LF.
  Get<QPlainTextEdit>("Text7")->setPlainText("a\nb\u2028c");
  EXPECT_EQ(window_.ReadSheet().comment, u"a\r\nb\r\nc");
}

}  // namespace
}  // namespace kavelin::app::testing
