// The window behaves as desktop editors do: menus in the usual order with mnemonics, the
// title names the character's file and its unsaved state, F8 says why a field is marked,
// palette row 03 says why it cannot be swapped, and the preview closes with Esc.
#include <QApplication>
#include <QComboBox>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>

#include "app/game_preview_window.hpp"
#include "app/qt_text.hpp"
#include "app/recent_files.hpp"
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

// The preview opens wholly on the screen, at a zoom that fits it, and the zoom and
// background the user chose come back in the next run's window.
TEST_F(DesktopEditorTest, ThePreviewOpensOnScreenAndRemembersItsView) {
  const auto record = folder_ / "kavelin.conf";
  {
    RecentFiles recent(record);
    window_.SetRecentFiles(&recent);
    GamePreviewWindow* preview = window_.ShowGamePreview();
    EXPECT_TRUE(QRect(0, 0, 1366, 768).contains(preview->frameGeometry()));
    preview->findChild<QComboBox*>("PreviewZoom")->setCurrentIndex(1);        // ×2
    preview->findChild<QComboBox*>("PreviewBackground")->setCurrentIndex(2);  // checkerboard
    preview->close();
    window_.SetRecentFiles(nullptr);
  }
  MainWindow next(dialogs_, image::DecodeImageFile, folder_ / "KV7Tools.ini");
  RecentFiles recent(record);
  next.SetRecentFiles(&recent);
  GamePreviewWindow* preview = next.ShowGamePreview();
  EXPECT_EQ(preview->Zoom(), 2);
  EXPECT_EQ(preview->findChild<QComboBox*>("PreviewBackground")->currentIndex(), 2);

  // ×6 does not fit a 1024x600 screen: the preview opens at the largest zoom that does.
  preview->close();
  preview->SetZoom(6);
  preview->FitOnScreen(QRect(0, 0, 1024, 600), next.frameGeometry());
  preview->show();
  EXPECT_LT(preview->Zoom(), 6);
  EXPECT_TRUE(QRect(0, 0, 1024, 600).contains(preview->frameGeometry()))
      << preview->frameGeometry().width() << "x" << preview->frameGeometry().height() << "+"
      << preview->frameGeometry().x() << "+" << preview->frameGeometry().y();
  next.SetRecentFiles(nullptr);
}

// A screen smaller than the window: the window fits it, the client area scrolls, and
// パッチ作成 and the status bar can be reached. The second is 1280x800 at scale 1.5.
TEST_F(DesktopEditorTest, TheWindowFitsSmallScreensAndScrollsToWhatIsFocused) {
  window_.show();
  QApplication::setActiveWindow(&window_);
  const QSize whole = window_.size();
  EXPECT_EQ(window_.maximumSize(), whole);  // on the tests' 1366x768 screen, shown whole
  for (const QRect screen : {QRect(0, 0, 1366, 768 - 40), QRect(0, 0, 853, 533 - 27)}) {
    const QSize fitted = window_.FitInto(screen);
    EXPECT_EQ(window_.size(), fitted);
    EXPECT_LE(fitted.height(), screen.height());
    EXPECT_LE(fitted.width(), screen.width());
    EXPECT_TRUE(QRect(QPoint(0, 0), screen.size()).contains(window_.geometry()));
    auto* status = window_.findChild<QStatusBar*>("StatusBar");
    EXPECT_TRUE(window_.rect().contains(QRect(status->mapTo(&window_, QPoint()), status->size())));
    auto* create = Get<QPushButton>("Command1");
    Get<QWidget>("Text1")->setFocus();  // at the top, then down to パッチ作成
    QApplication::processEvents();
    create->setFocus();
    QApplication::processEvents();
    const QRect shown(create->mapTo(&window_, QPoint()), create->size());
    EXPECT_TRUE(window_.rect().contains(shown)) << screen.height();
    EXPECT_FALSE(status->geometry().intersects(shown)) << screen.height();
    window_.resize(whole);
  }
}

}  // namespace
}  // namespace kavelin::app::testing
