// The window behaves as desktop editors do: menus in the usual order with mnemonics, the
// title names the character's file and its unsaved state, F8 says why a field is marked,
// palette row 03 says why it cannot be swapped, and the preview closes with Esc.
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>

#include "app/game_preview_window.hpp"
#include "app/qt_text.hpp"
#include "app/window_texts.hpp"
#include "window_fixture.hpp"

namespace kavelin::app::testing {
namespace {

class DesktopEditorTest : public LoadedWindowTest {
 protected:
  QString Note() { return window_.findChild<QStatusBar*>()->currentMessage(); }
};

TEST_F(DesktopEditorTest, MenusComeInTheUsualOrderWithMnemonics) {
  QStringList titles;
  for (QAction* menu : window_.findChild<QMenuBar*>()->actions())
    titles << menu->text();
  EXPECT_EQ(titles,
            (QStringList{Q(u"ファイル(&F)"), Q(u"編集(&E)"), Q(u"表示(&V)"), Q(u"ヘルプ(&H)")}));
}

TEST_F(DesktopEditorTest, TheTitleNamesTheFileAndAStarWhileUnsaved) {
  window_.RunLiveCheck();
  EXPECT_EQ(window_.windowTitle(), QStringLiteral("Kavelin"));
  const std::filesystem::path sheet = folder_ / "alto.k7c";
  ASSERT_TRUE(window_.SaveSheetFile(sheet));
  EXPECT_EQ(window_.windowTitle(), Q(u"alto.k7c – Kavelin"));
  sheet::CharacterSheet changed = window_.ReadSheet();
  changed.name = u"アルト";
  window_.ShowSheet(changed);
  window_.RunLiveCheck();
  EXPECT_EQ(window_.windowTitle(), Q(u"alto.k7c* – Kavelin"));
  ASSERT_TRUE(window_.SaveSheetFile(sheet));
  EXPECT_EQ(window_.windowTitle(), Q(u"alto.k7c – Kavelin"));
}

TEST_F(DesktopEditorTest, F8SaysTheMarkedFieldsMessageInTheStatusBar) {
  sheet::CharacterSheet sheet = window_.ReadSheet();
  sheet.flags[0].enabled = true;
  sheet.basicStatus.stats[0] = u"999";
  window_.ShowSheet(sheet);
  window_.RunLiveCheck();
  window_.show();
  QApplication::setActiveWindow(&window_);
  window_.FocusNextMarked();
  QWidget* marked = QApplication::focusWidget();
  ASSERT_NE(marked, nullptr);
  ASSERT_FALSE(marked->toolTip().isEmpty());
  EXPECT_EQ(Note(), QString(marked->toolTip()).replace('\n', ' '));
}

TEST_F(DesktopEditorTest, RowThreeSaysWhyItCannotBeSwapped) {
  auto* three = Get<QPushButton>("Check1(3)");
  EXPECT_EQ(three->toolTip(), Q(kReservedEntryNote));
  ASSERT_TRUE(three->isEnabled());
  three->click();
  EXPECT_EQ(Note(), Q(kReservedEntryNote));
  EXPECT_FALSE(three->isChecked());
}

TEST_F(DesktopEditorTest, ThePreviewClosesWithEscAndCtrlW) {
  for (const QKeySequence& keys :
       {QKeySequence(Qt::Key_Escape), QKeySequence(QKeySequence::Close)}) {
    GamePreviewWindow* preview = window_.ShowGamePreview();
    ASSERT_NE(preview, nullptr);
    ASSERT_TRUE(preview->isVisible());
    QApplication::setActiveWindow(preview);
    QTest::keySequence(preview, keys);
    EXPECT_FALSE(preview->isVisible()) << keys.toString().toStdString();
  }
}

}  // namespace
}  // namespace kavelin::app::testing
