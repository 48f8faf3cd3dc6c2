// Names given in place from the lists' context menus, and the File menu's names items.
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QStatusBar>

#include "app/name_editor.hpp"
#include "app/qt_text.hpp"
#include "support/file_io.hpp"
#include "window_fixture.hpp"

namespace kavelin::app::testing {
namespace {

using sheet::ListId;
using test_support::ReadText;
using test_support::WriteAll;

int PositionOf(ListId list, std::uint8_t code) {
  return *sheet::PositionOfCode(list, code);
}

class NamesInPlaceTest : public WindowTest {
 protected:
  NamesInPlaceTest() {
    std::filesystem::create_directories(folder_ / "program");
    WriteAll(shared_, "techniques\t0F\t共有の技\n");
    Names().SetPlaces({{shared_, user_}, user_});
    note_ = Names().LoadAtStart();
    Get<QCheckBox>("Check5(2)")->setChecked(true);  // the arts' lists on
  }
  NameEditor& Names() { return window_.EntryNames(); }
  QString Note() { return Get<QStatusBar>("StatusBar")->currentMessage(); }
  QString Shown(const char* combo, std::uint8_t code) {
    return Get<QComboBox>(combo)->itemText(PositionOf(ListId::kTechnique, code));
  }
  // The entry menu that `ask` opened.
  static QMenu* OpenedMenu() {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    return menu != nullptr && menu->objectName() == "EntryNameMenu" ? menu : nullptr;
  }
  // Chooses an item of the open entry menu as a click does: the menu closes, then it runs.
  static void Choose(QMenu* menu, const char* item) {
    QAction* action = menu->findChild<QAction*>(item);
    ASSERT_NE(action, nullptr);
    action->trigger();
    menu->close();
    QCoreApplication::processEvents();
  }

  std::filesystem::path shared_ = folder_ / "program" / "kavelin-names.tsv";
  std::filesystem::path user_ = folder_ / "config" / "kavelin" / "kavelin-names.tsv";
  QString note_;
};

TEST_F(NamesInPlaceTest, ANameGivenInPlaceIsWrittenAndShownOnEveryListAtOnce) {
  EXPECT_EQ(note_, Q(u"名前を 1 件読み込みました：") + DisplayPath(shared_));
  auto* list = Get<QComboBox>("Combo5(0)");
  list->setCurrentIndex(PositionOf(ListId::kTechnique, 0x0F));
  QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(5, 5), list->mapToGlobal(QPoint(5, 5)));
  QApplication::sendEvent(list, &click);
  QMenu* menu = OpenedMenu();
  ASSERT_NE(menu, nullptr);
  EXPECT_FALSE(menu->findChild<QAction*>("UnnameEntryItem")->isEnabled());
  dialogs_.texts = {QStringLiteral("私の技")};
  Choose(menu, "NameEntryItem");
  ASSERT_EQ(dialogs_.textCalls.size(), 1u);
  EXPECT_EQ(dialogs_.textCalls[0][0], Q(u"【0F】共有の技 の名前（40 文字まで）："));
  EXPECT_EQ(dialogs_.textCalls[0][2], Q(u"共有の技"));
  EXPECT_EQ(ReadText(user_), std::string(sheet::kNamesFileHeader) + "techniques\t0F\t私の技\n");
  for (const char* combo : {"Combo5(0)", "Combo5(3)"})
    EXPECT_EQ(Shown(combo, 0x0F), Q(u"【0F】私の技")) << combo;
  EXPECT_TRUE(Note().startsWith(Q(u"【0F】共有の技 に名前「私の技」を付けました。")))
      << Note().toStdString();
  EXPECT_TRUE(Note().contains(Q(u"名前を 1 件読み込みました：")));

  // The menu key and Shift+F10 open the same menu; taking the name out brings back the one
  // the program's folder gives.
  for (const auto& [key, modifiers] :
       {std::pair{Qt::Key_Menu, Qt::NoModifier}, std::pair{Qt::Key_F10, Qt::ShiftModifier}}) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(list, &press);
    menu = OpenedMenu();
    ASSERT_NE(menu, nullptr) << key;
    EXPECT_TRUE(menu->findChild<QAction*>("UnnameEntryItem")->isEnabled());
    menu->close();
  }
  QKeyEvent press(QEvent::KeyPress, Qt::Key_Menu, Qt::NoModifier);
  QApplication::sendEvent(list, &press);
  Choose(OpenedMenu(), "UnnameEntryItem");
  EXPECT_EQ(ReadText(user_), std::string(sheet::kNamesFileHeader));
  EXPECT_EQ(Shown("Combo5(3)", 0x0F), Q(u"【0F】共有の技"));
  EXPECT_TRUE(Note().startsWith(Q(u"【0F】私の技 の名前を消しました。"))) << Note().toStdString();
}

TEST_F(NamesInPlaceTest, ARightClickOnAnEntryOfTheOpenPopupNamesThatEntryAndChoosesNothing) {
  auto* list = Get<QComboBox>("Combo5(1)");
  list->setCurrentIndex(0);
  list->showPopup();
  QAbstractItemView* view = list->view();
  ASSERT_TRUE(view->isVisible());
  const QPoint at = view->visualRect(view->model()->index(3, 0)).center();
  const QPoint global = view->viewport()->mapToGlobal(at);
  QMouseEvent down(QEvent::MouseButtonPress, at, global, Qt::RightButton, Qt::RightButton,
                   Qt::NoModifier);
  QApplication::sendEvent(view->viewport(), &down);
  QMouseEvent up(QEvent::MouseButtonRelease, at, global, Qt::RightButton, Qt::NoButton,
                 Qt::NoModifier);
  QApplication::sendEvent(view->viewport(), &up);
  EXPECT_EQ(list->currentIndex(), 0);
  QMenu* menu = OpenedMenu();
  ASSERT_NE(menu, nullptr);
  dialogs_.texts = {QStringLiteral("四番目")};
  Choose(menu, "NameEntryItem");
  EXPECT_FALSE(view->isVisible());
  const std::uint8_t code = *sheet::CodeAt(ListId::kTechnique, 3);
  EXPECT_EQ(Shown("Combo5(0)", code).mid(4), Q(u"四番目"));
  EXPECT_EQ(list->currentIndex(), 0);
}

TEST_F(NamesInPlaceTest, ANameTheFileWouldRejectIsRefusedWithItsReasonAndNothingIsWritten) {
  dialogs_.texts = {QString(),
                    QStringLiteral("a\tb"),
                    QString(41, u'あ'),
                    QStringLiteral("　 "),
                    QString(QChar(0x200B)) + "x",
                    std::nullopt};
  EXPECT_FALSE(Names().NameEntry(ListId::kTechnique, 0x10));
  ASSERT_EQ(dialogs_.boxes.size(), 5u);
  for (const Box& box : dialogs_.boxes) {
    EXPECT_EQ(box.icon, BoxIcon::kStop);
    EXPECT_EQ(box.text.split("\r\n").size(), 2) << box.text.toStdString();
    EXPECT_TRUE(box.text.startsWith(Q(u"この名前は付けられません。")));
  }
  // Each ask starts from what was typed, so a long name is corrected, not retyped.
  EXPECT_EQ(dialogs_.textCalls[3][2], QString(41, u'あ'));
  EXPECT_FALSE(std::filesystem::exists(user_));
}

TEST_F(NamesInPlaceTest, AnotherNamesFileReplacesTheNamesShown) {
  const auto other = folder_ / "friend.tsv";
  WriteAll(other, "techniques\t10\t友の技\nnonsense\n");
  dialogs_.files = {DisplayPath(other)};
  ASSERT_NE(window_.findChild<QAction*>("OpenNamesItem"), nullptr);
  ASSERT_TRUE(Names().OpenNamesFile());
  EXPECT_EQ(Shown("Combo5(0)", 0x10), Q(u"【10】友の技"));
  EXPECT_EQ(Shown("Combo5(0)", 0x0F), Q(u"【0F】技0F"));
  EXPECT_TRUE(Note().startsWith(Q(u"名前ファイルの 2 行目を飛ばしました"))) << Note().toStdString();
  EXPECT_TRUE(Note().endsWith(Q(u"名前を 1 件読み込みました：") + DisplayPath(other)));

  // Written to the user's file, shown over the opened names; taken out, the opened show.
  dialogs_.texts = {QStringLiteral("私の技")};
  ASSERT_TRUE(Names().NameEntry(ListId::kTechnique, 0x10));
  EXPECT_EQ(Shown("Combo5(0)", 0x10), Q(u"【10】私の技"));
  ASSERT_TRUE(Names().UnnameEntry(ListId::kTechnique, 0x10));
  EXPECT_EQ(Shown("Combo5(0)", 0x10), Q(u"【10】友の技"));

  // A file that is not there leaves the names as they are.
  EXPECT_FALSE(Names().OpenNamesFile(folder_ / "gone.tsv"));
  ASSERT_FALSE(dialogs_.boxes.empty());
  EXPECT_TRUE(dialogs_.boxes.back().text.startsWith(Q(u"名前ファイルを読み込めませんでした。")));
  EXPECT_EQ(Shown("Combo5(0)", 0x10), Q(u"【10】友の技"));
}

TEST_F(NamesInPlaceTest, TheUsersNamesFolderIsMadeAndOpened) {
  QUrl opened;
  Names().SetFolderOpener([&opened](const QUrl& url) {
    opened = url;
    return true;
  });
  ASSERT_NE(window_.findChild<QAction*>("NamesFolderItem"), nullptr);
  EXPECT_TRUE(Names().OpenNamesFolder());
  EXPECT_TRUE(std::filesystem::is_directory(user_.parent_path()));
  EXPECT_EQ(opened, QUrl::fromLocalFile(DisplayPath(user_.parent_path())));
}

TEST_F(NamesInPlaceTest, AFailedWriteIsSaidAndChangesNothingShown) {
  WriteAll(folder_ / "config", "a file where the folder belongs");
  dialogs_.texts = {QStringLiteral("私の技")};
  EXPECT_FALSE(Names().NameEntry(ListId::kTechnique, 0x0F));
  ASSERT_EQ(dialogs_.boxes.size(), 1u);
  EXPECT_EQ(dialogs_.boxes[0].icon, BoxIcon::kStop);
  EXPECT_TRUE(dialogs_.boxes[0].text.startsWith(Q(u"名前ファイルに書き込めませんでした。")));
  EXPECT_EQ(Shown("Combo5(0)", 0x0F), Q(u"【0F】共有の技"));
}

}  // namespace
}  // namespace kavelin::app::testing
