// Undo and redo, the window as assistive tools and the keyboard see it, and Qt's own texts
// in Japanese.
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QUndoStack>
#include <fstream>
#include <iterator>
#include <map>

#include "app/dialogs.hpp"
#include "app/qt_text.hpp"
#include "window_fixture.hpp"

namespace kavelin::app::testing {
namespace {

std::string ReadText(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

class EditingTest : public LoadedWindowTest {
 protected:
  void Trigger(const char* action) {
    window_.findChild<QAction*>(action)->trigger();
    QCoreApplication::processEvents();
  }
  // Types into a box and leaves it, as a user ends a step of typing.
  void Type(const char* box, const QString& text) {
    auto* line = Get<QLineEdit>(box);
    line->setFocus();
    line->setText(text);
    Get<QWidget>("Text7")->setFocus();
  }
};

TEST_F(EditingTest, UndoAndRedoWalkEveryKindOfStepBackToTheSavedSheet) {
  window_.show();
  QApplication::setActiveWindow(&window_);
  const auto saved = folder_ / "saved.k7c";
  ASSERT_TRUE(window_.SaveSheetFile(saved));
  const std::string savedBytes = ReadText(saved);

  Get<QCheckBox>("Check5(0)")->click();          // a section switch
  Type("Text3(2)", "33");                        // typing, ended by leaving the box
  Get<QComboBox>("Combo2")->setCurrentIndex(3);  // a list choice
  Get<QCheckBox>("Check6(0)")->click();          // a tick
  Get<QPushButton>("Check1(5)")->click();        // a palette swap: two presses,
  Get<QPushButton>("Check1(9)")->click();        // one step
  Type("Text1", QString::fromUtf16(u"アルト"));
  const sheet::SheetDocument edited = window_.Document();
  ASSERT_EQ(window_.findChild<QUndoStack*>()->count(), 6);
  ASSERT_EQ(edited.paletteSwaps.size(), 1u);
  EXPECT_TRUE(window_.HasUnsavedChanges());

  for (int i = 0; i < 6; ++i)
    Trigger("Undo");
  EXPECT_FALSE(window_.HasUnsavedChanges());
  ASSERT_TRUE(window_.SaveSheetFile(folder_ / "undone.k7c"));
  EXPECT_EQ(ReadText(folder_ / "undone.k7c"), savedBytes);
  Trigger("Undo");  // nothing more to undo: nothing changes
  EXPECT_EQ(ReadText(folder_ / "undone.k7c"), savedBytes);

  for (int i = 0; i < 6; ++i)
    Trigger("Redo");
  const sheet::SheetDocument redone = window_.Document();
  EXPECT_EQ(redone.sheet.name, edited.sheet.name);
  EXPECT_EQ(redone.sheet.basicStatus.stats, edited.sheet.basicStatus.stats);
  EXPECT_EQ(redone.sheet.basicStatus.destinyStar, edited.sheet.basicStatus.destinyStar);
  EXPECT_EQ(redone.sheet.flags[0].locked, edited.sheet.flags[0].locked);
  EXPECT_EQ(redone.paletteSwaps, edited.paletteSwaps);
  EXPECT_EQ(redone, edited);
  // A new edit after some undos drops the steps that were undone.
  Trigger("Undo");
  Get<QComboBox>("Combo3")->setCurrentIndex(2);
  Trigger("Redo");
  EXPECT_EQ(window_.ReadSheet().basicStatus.favouriteWeapon, 2);
}

TEST_F(EditingTest, UndoingBackToTheSavedSheetMeansNothingToSave) {
  const auto saved = folder_ / "saved.k7c";
  ASSERT_TRUE(window_.SaveSheetFile(saved));
  Get<QComboBox>("Combo1")->setCurrentIndex(2);
  EXPECT_TRUE(window_.HasUnsavedChanges());
  Trigger("Undo");
  EXPECT_FALSE(window_.HasUnsavedChanges());
  // Closing asks nothing: a question would fail the scripted dialogs.
  EXPECT_TRUE(window_.close());
  EXPECT_TRUE(dialogs_.boxes.empty());
  // A template load is no step: undo goes past it to the edit before.
  Get<QComboBox>("Combo1")->setCurrentIndex(1);
  WriteTemplate(folder_ / "other.bmp", raster_);
  window_.TakeInFile(folder_ / "other.bmp");
  Trigger("Undo");
  EXPECT_EQ(window_.ReadSheet().gender, 0);
  EXPECT_EQ(window_.Template().path, folder_ / "other.bmp");
}

// Ctrl+Z and Ctrl+Y from the keyboard: a box that holds typing of its own takes that back
// first; an untouched box, or one whose typing was ended by leaving it, passes them on.
TEST_F(EditingTest, UndoKeysReachTheCharacterFromAnyBox) {
  window_.show();
  QApplication::setActiveWindow(&window_);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
  const auto key = [](Qt::Key k, Qt::KeyboardModifiers m = Qt::ControlModifier) {
    QTest::keyClick(QApplication::focusWidget(), k, m);
  };
  auto* stack = window_.findChild<QUndoStack*>();
  auto* level = Get<QLineEdit>("Text2");
  Get<QComboBox>("Combo2")->setCurrentIndex(3);
  ASSERT_EQ(stack->count(), 1);

  for (const char* box : {"Text2", "Text7"}) {  // a line box and the comment box
    Get<QWidget>(box)->setFocus();
    key(Qt::Key_Z);
    EXPECT_EQ(Get<QComboBox>("Combo2")->currentIndex(), 0) << box;
    key(Qt::Key_Y);
    EXPECT_EQ(Get<QComboBox>("Combo2")->currentIndex(), 3) << box;
  }

  level->setFocus();
  const QString before = level->text();
  QTest::keyClicks(level, "7");
  key(Qt::Key_Z);  // the box's own typing first
  EXPECT_EQ(level->text(), before);
  EXPECT_EQ(stack->count(), 1);
  QTest::keyClicks(level, "7");
  Get<QWidget>("Text7")->setFocus();  // leaving ends the typing as a step
  ASSERT_EQ(stack->count(), 2);
  level->setFocus();
  key(Qt::Key_Z);  // undone once, by the window, not again by the box
  EXPECT_EQ(level->text(), before);
  key(Qt::Key_Z);
  EXPECT_EQ(Get<QComboBox>("Combo2")->currentIndex(), 0);
  EXPECT_EQ(stack->index(), 0);
}

// Every input is named by its caption; no two inputs of one frame share a name.
TEST_F(EditingTest, EveryInputIsNamedByItsCaptionForAssistiveTools) {
  const auto name = [](QWidget* w) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(w);
    return face ? face->text(QAccessible::Name) : QString();
  };
  std::map<QWidget*, QStringList> namesByFrame;
  int inputs = 0;
  for (QWidget* w : window_.findChildren<QWidget*>()) {
    const bool input = qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w) ||
                       qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w) ||
                       qobject_cast<QPlainTextEdit*>(w) || qobject_cast<QPushButton*>(w);
    if (!input || (w->inherits("QLineEdit") && qobject_cast<QComboBox*>(w->parentWidget())))
      continue;
    ++inputs;
    const QString n = name(w);
    EXPECT_FALSE(n.isEmpty()) << w->objectName().toStdString();
    if (auto* button = qobject_cast<QAbstractButton*>(w); button && !button->text().isEmpty()) {
      const QString caption = QString(button->text()).remove('&');
      // The palette toggles carry their number, not their two hex digits.
      if (!w->objectName().startsWith("Check1(")) {
        EXPECT_TRUE(n.contains(caption))
            << w->objectName().toStdString() << ": " << n.toStdString();
      }
    }
    namesByFrame[w->parentWidget()] << n;
  }
  EXPECT_GT(inputs, 100);
  for (QLabel* label : window_.findChildren<QLabel*>()) {
    if (!label->buddy()) continue;
    EXPECT_TRUE(name(label->buddy()).contains(label->text()))
        << label->objectName().toStdString() << " -> " << name(label->buddy()).toStdString();
  }
  for (auto& [frame, names] : namesByFrame) {
    names.sort();
    EXPECT_EQ(names.removeDuplicates(), 0)
        << frame->objectName().toStdString() << ": " << names.join(", ").toStdString();
  }
  // Displays say which value they show; lists are named by caption, not by their entry.
  EXPECT_EQ(name(Get<QWidget>("Label11(0)")), Q(u"腕力 宿星"));
  EXPECT_EQ(name(Get<QWidget>("Label18(6)")), Q(u"魅力 合計"));
  EXPECT_EQ(name(Get<QWidget>("Combo5(0)")), Q(u"技1"));
  EXPECT_EQ(name(Get<QWidget>("Check3(0)")), Q(u"HP 成長"));
  EXPECT_EQ(name(Get<QWidget>("Text5(6)")), Q(u"地術LV"));
  EXPECT_TRUE(name(Get<QWidget>("Check1(5)")).startsWith(Q(u"パレット5 #")));
  EXPECT_EQ(name(Get<QWidget>("Picture1")), Q(u"テンプレ画像"));
  QAccessibleInterface* picture = QAccessible::queryAccessibleInterface(Get<QWidget>("Picture1"));
  EXPECT_EQ(picture->text(QAccessible::Description), "hero.bmp");
  EXPECT_EQ(name(Get<QWidget>("Frame8")), Q(u"地術LV"));
  // Every number box tells its range.
  EXPECT_TRUE(Get<QWidget>("Text4")->toolTip().contains(Q(u"3～99 または 128")));
  EXPECT_TRUE(Get<QWidget>("Text3(0)")->toolTip().contains(Q(u"5～90")));
}

TEST_F(EditingTest, TabFollowsTheReadingOrderOfAFrame) {
  window_.show();
  QApplication::setActiveWindow(&window_);
  Get<QCheckBox>("Check5(1)")->click();
  Get<QWidget>("Text5(0)")->setFocus();
  QStringList order;
  for (int i = 0; i < 20; ++i) {
    order << QApplication::focusWidget()->objectName();
    QWidget* next = QApplication::focusWidget()->nextInFocusChain();
    while (!(next->focusPolicy() & Qt::TabFocus) || !next->isEnabled())
      next = next->nextInFocusChain();
    next->setFocus(Qt::TabFocusReason);
  }
  const QStringList expected = {"Text5(0)",  "Check3(0)",  "Text5(1)",  "Check3(1)", "Text5(2)",
                                "Check3(2)", "Text5(3)",   "Check3(3)", "Text5(4)",  "Check3(4)",
                                "Text5(5)",  "Check3(5)",  "Text5(8)",  "Check3(8)", "Text5(6)",
                                "Check3(6)", "Option1(0)", "Text5(7)",  "Check3(7)", "Option2(0)"};
  // An option group is one stop: the arrow keys choose within it.
  EXPECT_EQ(order, expected) << order.join(" ").toStdString();
}

TEST_F(EditingTest, QtsOwnTextsAreJapaneseAndAMenuItemReturnsBeforeItsDialog) {
  QtDialogs dialogs;
  dialogs.SetParent(&window_);
  QStringList buttons;
  QString iconName;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    buttons << box->button(QMessageBox::Yes)->text() << box->button(QMessageBox::No)->text();
    iconName = box->findChild<QLabel*>("qt_msgboxex_icon_label")->accessibleName();
    box->button(QMessageBox::No)->click();
  });
  EXPECT_FALSE(dialogs.Ask("?", BoxIcon::kQuestion, "t"));
  // With their keys, as Qt's Japanese texts give them: "はい(&Y)".
  ASSERT_EQ(buttons.size(), 2);
  EXPECT_TRUE(buttons[0].startsWith(Q(u"はい"))) << buttons[0].toStdString();
  EXPECT_TRUE(buttons[1].startsWith(Q(u"いいえ"))) << buttons[1].toStdString();
  EXPECT_EQ(iconName, Q(u"質問"));

  QString cancel;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    cancel = dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->text();
    dialog->reject();
  });
  EXPECT_TRUE(dialogs.OpenFile("t", "x", "*.k7p").isEmpty());
  EXPECT_EQ(cancel, Q(u"キャンセル"));

  // The item returns at once; its dialog opens from the event loop.
  window_.findChild<QAction*>("OpenPatch")->trigger();
  EXPECT_TRUE(dialogs_.openCall.isEmpty());
  QCoreApplication::processEvents();
  EXPECT_FALSE(dialogs_.openCall.isEmpty());
}

}  // namespace
}  // namespace kavelin::app::testing
