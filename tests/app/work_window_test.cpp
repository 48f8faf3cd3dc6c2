// The window's help with the work around a character: names in the lists, finding an entry
// by typing, the wheel, recent files and start folders, the sheet's template and the
// in-game preview.
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QWheelEvent>

#include "app/entry_names.hpp"
#include "app/game_preview_window.hpp"
#include "app/list_search.hpp"
#include "app/name_editor.hpp"
#include "app/qt_text.hpp"
#include "app/recent_files.hpp"
#include "image/decoder.hpp"
#include "patch/patch_file.hpp"
#include "patch/sprite_tiles.hpp"
#include "sheet/sheet_file.hpp"
#include "support/failure_access.hpp"
#include "support/file_io.hpp"
#include "window_fixture.hpp"

namespace kavelin::app::testing {
namespace {

using namespace ::kavelin::testing;

using sheet::ListId;

int PositionOf(ListId list, std::uint8_t code) {
  for (int p = 0; p < static_cast<int>(sheet::ListEntries(list).size()); ++p) {
    if (sheet::CodeAt(list, p) == code) return p;
  }
  ADD_FAILURE() << "no such code";
  return -1;
}

// Typed text as a keyboard gives it, Japanese included, which QTest::keyClicks cannot.
void Type(QWidget* widget, const QString& text) {
  for (const QChar c : text) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
    QApplication::sendEvent(widget, &release);
  }
}

void Press(QWidget* widget, Qt::Key key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QApplication::sendEvent(widget, &press);
}

class ListWindowTest : public WindowTest {
 protected:
  ListWindowTest() {
    names_.SetName(ListId::kTechnique, 0x0F, u"テスト技");
    names_.SetName(ListId::kTechnique, 0x2A, u"試しの構え");
    ShowEntryNames(&window_, names_);
    Get<QCheckBox>("Check5(2)")->setChecked(true);  // the arts' lists on
  }
  ListSearch* SearchOf(QComboBox* combo) { return combo->findChild<ListSearch*>("ListSearch"); }

  sheet::NamesTable names_;
};

TEST_F(ListWindowTest, ListsShowTheUsersNamesAndKeepTheirEntries) {
  auto* technique = Get<QComboBox>("Combo5(0)");
  const int named = PositionOf(ListId::kTechnique, 0x0F);
  EXPECT_EQ(technique->itemText(named), QStringLiteral("【0F】テスト技"));
  EXPECT_EQ(technique->count(), static_cast<int>(sheet::ListEntries(ListId::kTechnique).size()));
  EXPECT_EQ(technique->itemText(0), Q(sheet::ListEntries(ListId::kTechnique)[0]));
  EXPECT_EQ(Get<QComboBox>("Combo5(3)")->itemText(named), technique->itemText(named));
  // The sheet keeps positions, whatever the names.
  EXPECT_EQ(window_.ReadSheet().initialArts.techniques[0], 0);

  EXPECT_EQ(NamesNote({}), QString());
  const QString note =
      NamesNote({{"/x/kavelin-names.tsv", 3, "unknown list", {}}, {"/y", 0, "big", {}}});
  // The line and the reason before the file, so that a note cut off at the window's edge
  // loses only the end of the path.
  EXPECT_TRUE(
      note.startsWith(Q(u"名前ファイルの 3 行目を飛ばしました（unknown list）: "
                        u"/x/kavelin-names.tsv")))
      << note.toStdString();
  EXPECT_TRUE(note.contains(QStringLiteral("ほか 1 件"))) << note.toStdString();
}

TEST_F(ListWindowTest, TypingPartOfANameOrCodeChoosesAsTheMouseWould) {
  auto* list = Get<QComboBox>("Combo5(1)");
  QSignalSpy changed(list, &QComboBox::currentIndexChanged);
  QSignalSpy activated(list, &QComboBox::activated);
  Type(list, QStringLiteral("ス"));
  ListSearch* search = SearchOf(list);
  ASSERT_NE(search, nullptr);
  ASSERT_TRUE(search->isVisible());
  auto* line = search->findChild<QLineEdit*>("ListSearchText");
  auto* results = search->findChild<QAbstractItemView*>("ListSearchResults");
  EXPECT_EQ(line->text(), QStringLiteral("ス")) << "the first key opens the search";
  EXPECT_TRUE(line->hasFocus() || !QApplication::focusWidget()) << "typing goes on there";
  Type(line, QStringLiteral("ト"));
  ASSERT_EQ(results->model()->rowCount(), 1);
  EXPECT_EQ(list->currentIndex(), 0) << "nothing is chosen while typing";
  Press(line, Qt::Key_Return);
  EXPECT_FALSE(search->isVisible());
  EXPECT_EQ(list->currentIndex(), PositionOf(ListId::kTechnique, 0x0F));
  EXPECT_EQ(changed.count(), 1);
  ASSERT_EQ(activated.count(), 1);
  EXPECT_EQ(activated.front().front().toInt(), list->currentIndex());
  EXPECT_EQ(window_.ReadSheet().initialArts.techniques[1], list->currentIndex());
  EXPECT_TRUE(window_.HasUnsavedChanges());

  // A code, typed full-width and in lower case, among several matches: the arrows move.
  Type(list, QStringLiteral("２"));
  Type(line, QStringLiteral("ａ"));
  const int matches = results->model()->rowCount();
  EXPECT_GE(matches, 1);
  EXPECT_TRUE(results->model()->index(0, 0).data().toString().contains("2A"));
  line->clear();
  Type(line, QStringLiteral("技"));
  ASSERT_GT(results->model()->rowCount(), 2);
  Press(line, Qt::Key_Down);
  Press(line, Qt::Key_Up);
  Press(line, Qt::Key_Down);
  const QString highlighted = results->currentIndex().data().toString();
  Press(line, Qt::Key_Return);
  EXPECT_EQ(list->currentText(), highlighted);
  EXPECT_EQ(changed.count(), 2);

  // Escape, and a text nothing matches, leave the list as it was.
  const int before = list->currentIndex();
  Type(list, QStringLiteral("z"));
  Type(line, QStringLiteral("zz"));
  EXPECT_EQ(results->model()->rowCount(), 0);
  Press(line, Qt::Key_Return);
  EXPECT_EQ(list->currentIndex(), before);
  Press(line, Qt::Key_Escape);
  EXPECT_FALSE(search->isVisible());
  EXPECT_EQ(list->currentIndex(), before);
  EXPECT_EQ(changed.count(), 2);
}

TEST_F(ListWindowTest, OnlyLongListsAndTheArtsAndEquipmentAreSearched) {
  for (const char* name : {"Combo5(0)", "Combo5(4)", "Combo6(0)", "Combo6(4)"})
    EXPECT_TRUE(IsSearchable(Get<QComboBox>(name))) << name;
  EXPECT_FALSE(IsSearchable(Get<QComboBox>("Combo1")));
  EXPECT_FALSE(IsSearchable(Get<QComboBox>("Combo2")));
  for (QComboBox* combo : window_.findChildren<QComboBox*>()) {
    if (ListOf(combo) && combo->count() > kSearchFrom) {
      EXPECT_TRUE(IsSearchable(combo)) << combo->objectName().toStdString();
    }
  }
  auto* gender = Get<QComboBox>("Combo1");
  Type(gender, QStringLiteral("x"));
  EXPECT_EQ(SearchOf(gender), nullptr);
}

TEST_F(ListWindowTest, TheWheelChangesOnlyAListWithTheFocus) {
  window_.show();
  QApplication::setActiveWindow(&window_);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
  auto* gender = Get<QComboBox>("Combo1");
  const auto wheel = [](QWidget* w) {
    const QPointF at(w->width() / 2.0, w->height() / 2.0);
    QWheelEvent event(at, w->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &event);
  };
  EXPECT_EQ(gender->focusPolicy(), Qt::StrongFocus) << "the wheel must not take the focus";
  Get<QWidget>("Text1")->setFocus();
  QTRY_VERIFY(!gender->hasFocus());
  wheel(gender);
  EXPECT_EQ(gender->currentIndex(), 0);
  EXPECT_FALSE(gender->hasFocus());
  gender->setFocus();
  QTRY_VERIFY(gender->hasFocus());
  wheel(gender);
  EXPECT_EQ(gender->currentIndex(), 1) << "with the focus, the wheel is the user's choice";
}

TEST_F(ListWindowTest, APopupShowsAtMostTwentyRows) {
  window_.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
  auto* list = Get<QComboBox>("Combo5(0)");
  list->showPopup();
  QAbstractItemView* view = list->view();
  QTRY_VERIFY(view->isVisible());
  const int row = view->sizeHintForRow(0);
  EXPECT_LE(view->viewport()->height(), kPopupRows * row + 2);
  EXPECT_GE(view->viewport()->height(), (kPopupRows - 1) * row);
  list->hidePopup();
}

// The record of recent work, in a settings file of the test's own.
class RecentTest : public WindowTest {
 protected:
  RecentTest() { std::filesystem::create_directories(folder_ / "a"); }
  std::filesystem::path File(const std::string& name) {
    const std::filesystem::path file = folder_ / name;
    test_support::WriteAll(file, "x");
    return file;
  }
  QString settings_ = DisplayPath(folder_ / "kavelin.conf");
};

TEST_F(RecentTest, NewestFirstTenAtMostEachOnce) {
  RecentFiles recent(settings_);
  EXPECT_TRUE(recent.Files().empty());
  for (int i = 0; i < 12; ++i)
    recent.Add(i % 2 ? FileKind::kSheet : FileKind::kTemplate, File("f" + std::to_string(i)));
  recent.Add(FileKind::kPatch, folder_ / "a" / ".." / "f5");
  const auto files = RecentFiles(settings_).Files();  // read back from the file
  ASSERT_EQ(files.size(), kRecentLimit);
  EXPECT_EQ(files[0], (RecentFile{FileKind::kPatch, folder_ / "f5"})) << "moved up, once";
  EXPECT_EQ(files[1].path, folder_ / "f11");
  EXPECT_EQ(files[9].path, folder_ / "f2");
  EXPECT_EQ(
      std::count_if(files.begin(), files.end(), [&](auto& f) { return f.path == folder_ / "f5"; }),
      1);
  recent.Remove(folder_ / "f11");
  EXPECT_EQ(recent.Files().size(), kRecentLimit - 1);
  EXPECT_EQ(recent.Folder(FileKind::kPatch), DisplayPath(folder_.Path()));

  // A record edited by hand: what cannot be used is counted and skipped, the rest kept.
  {
    QSettings raw(settings_, QSettings::IniFormat);
    raw.beginWriteArray("recent", 3);
    raw.setArrayIndex(0);
    raw.setValue("kind", "sheet");
    raw.setValue("path", "relative/x.k7c");
    raw.setArrayIndex(1);
    raw.setValue("kind", "song");
    raw.setValue("path", "/x.mid");
    raw.setArrayIndex(2);
    raw.setValue("kind", "patch");
    raw.setValue("path", "/x.k7p");
    raw.endArray();
  }
  RecentFiles edited(settings_);
  EXPECT_EQ(edited.Files(), (std::vector<RecentFile>{{FileKind::kPatch, "/x.k7p"}}));
  EXPECT_EQ(edited.Unusable(), 2U);
}

// Scripted dialogs that also note where an open dialog would start.
class FolderSpy : public ScriptedDialogs {
 public:
  QString openFolder;
  void SetOpenFolder(const QString& folder) override { openFolder = folder; }
};

TEST_F(RecentTest, TheMenuOpensRecentWorkAndDropsWhatIsGone) {
  RecentFiles recent(settings_);
  FolderSpy spy;
  FolderMemoryDialogs remembering(spy, recent);
  MainWindow window(remembering, image::DecodeImageFile, folder_ / "KV7Tools.ini");
  window.SetRecentFiles(&recent);
  const std::filesystem::path hero = folder_ / "a" / "hero.bmp", sheet = folder_ / "hero.k7c";
  WriteTemplate(
      hero, image::testing::Margined(image::testing::kWhite, image::testing::KnownColourPaints()));
  window.TakeInFile(hero);
  ASSERT_TRUE(window.SaveSheetFile(sheet));
  auto* menu = window.findChild<QMenu*>("RecentMenu");
  ASSERT_NE(menu, nullptr);
  emit menu->aboutToShow();
  ASSERT_EQ(menu->actions().size(), 2);
  EXPECT_TRUE(menu->actions()[0]->text().endsWith(DisplayPath(sheet)));
  EXPECT_TRUE(menu->actions()[1]->text().endsWith(DisplayPath(hero)));

  // Each kind's dialog starts where that kind was last used, and remembers the choice.
  window.OpenSheet();
  EXPECT_EQ(spy.openFolder, DisplayPath(folder_.Path()));
  window.Browse();
  EXPECT_EQ(spy.openFolder, DisplayPath(folder_ / "a"));
  spy.files.push_back(DisplayPath(folder_ / "elsewhere" / "x.k7p"));
  window.OpenPatch();
  EXPECT_EQ(recent.Folder(FileKind::kPatch), DisplayPath(folder_ / "elsewhere"));
  spy.boxes.clear();
  recent.SetFolder(FileKind::kTemplate, DisplayPath(folder_.Path()));
  window.ExportTemplate();
  EXPECT_EQ(spy.saveCall.back(), DisplayPath(folder_ / "hero-2.bmp"));
  recent.SetFolder(FileKind::kSheet, DisplayPath(folder_ / "a"));
  window.SaveSheet();
  EXPECT_EQ(spy.saveCall.back(), DisplayPath(folder_ / "a" / "hero.k7c"));
  // A names file shared by other players is kept apart from the templates.
  spy.files.push_back(DisplayPath(folder_ / "shared" / "names.tsv"));
  window.EntryNames().OpenNamesFile();
  EXPECT_EQ(recent.Folder(FileKind::kNames), DisplayPath(folder_ / "shared"));
  EXPECT_EQ(recent.Folder(FileKind::kTemplate), DisplayPath(folder_.Path()));
  spy.boxes.clear();  // the file itself is not there

  std::filesystem::remove(hero);
  EXPECT_FALSE(window.OpenRecentFile(FileKind::kTemplate, hero));
  ASSERT_EQ(spy.boxes.size(), 1U);
  EXPECT_TRUE(spy.boxes[0].text.contains(DisplayPath(hero)));
  EXPECT_EQ(recent.Files(), (std::vector<RecentFile>{{FileKind::kSheet, sheet}}));
  EXPECT_EQ(window.Template().path, hero) << "the loaded template stays";
}

TEST_F(RecentTest, ASheetBringsItsTemplateBackWithItsSwaps) {
  const std::filesystem::path hero = folder_ / "a" / "hero.bmp", sheet = folder_ / "hero.k7c";
  const image::Raster raster =
      image::testing::Margined(image::testing::kWhite, image::testing::KnownColourPaints());
  WriteTemplate(hero, raster);
  window_.TakeInFile(hero);
  // A swap, then saved: the file names the template relative to itself.
  Get<QPushButton>("Check1(4)")->click();
  Get<QPushButton>("Check1(5)")->click();
  ASSERT_EQ(window_.Document().paletteSwaps.size(), 1U);
  ASSERT_TRUE(window_.SaveSheetFile(sheet));
  const auto saved = sheet::ReadSheetFile(test_support::ReadText(sheet));
  ASSERT_TRUE(saved.Ok());
  EXPECT_EQ(ValueOf(saved).templateFile, "a/hero.bmp");
  const image::TemplateImage swapped = window_.Template();

  // Opened over a template that cannot take the swap: the sheet's own template comes back
  // with it, and nothing is said of the other template.
  MainWindow other(dialogs_, image::DecodeImageFile, folder_ / "KV7Tools.ini");
  const std::filesystem::path plain = folder_ / "plain.bmp";
  WriteTemplate(plain, image::testing::Margined(image::testing::kWhite, {}));
  other.TakeInFile(plain);
  dialogs_.boxes.clear();
  ASSERT_TRUE(other.OpenSheetFile(sheet));
  EXPECT_TRUE(dialogs_.boxes.empty()) << dialogs_.boxes[0].text.toStdString();
  EXPECT_EQ(other.Template().path, hero);
  EXPECT_EQ(other.Template().palette.entries, swapped.palette.entries);
  EXPECT_FALSE(other.HasUnsavedChanges());

  // A template that is gone is said in the status line; the sheet opens all the same.
  std::filesystem::remove(hero);
  ASSERT_TRUE(other.OpenSheetFile(sheet));
  EXPECT_TRUE(
      other.findChild<QStatusBar*>("StatusBar")->currentMessage().contains(DisplayPath(hero)));
}

// The preview against the patch written from the same state, read back from its bytes.
image::Raster FromPatchBytes(const std::vector<std::uint8_t>& bytes,
                             patch::PreviewBackground background) {
  std::array<std::uint16_t, image::kPaletteSize> words{};
  for (std::size_t i = 0; i < words.size(); ++i)
    words[i] = static_cast<std::uint16_t>(bytes[22 + 2 * i] | bytes[23 + 2 * i] << 8);
  std::array<std::uint8_t, patch::kTileDataBytes> tiles{};
  std::copy_n(bytes.begin() + 54, tiles.size(), tiles.begin());
  return patch::DrawGamePreview(words, tiles, background);
}

TEST_F(LoadedWindowTest, ThePreviewShowsWhatThePatchHoldsAndFollowsTheWindow) {
  const auto patchNow = [this] {
    const auto built =
        patch::BuildPatchBytes(window_.ReadSheet(), window_.Codes(), window_.Template());
    EXPECT_TRUE(built.Ok());
    return ValueOf(built);
  };
  Get<QPushButton>("GamePreviewButton")->click();
  auto* preview = window_.findChild<GamePreviewWindow*>("GamePreview");
  ASSERT_NE(preview, nullptr);
  EXPECT_TRUE(preview->isVisible());
  EXPECT_EQ(preview->Picture(), FromPatchBytes(patchNow(), patch::PreviewBackground::kBlack));
  // Entries 1 and 2 show the game's fixed colours, not the template's own.
  EXPECT_NE(window_.Template().palette.entries[1], patch::WidenSnesColour(0x6BDE));

  // A swap made with the toggles shows at once, as the patch would carry it.
  const image::Raster before = preview->Picture();
  Get<QPushButton>("Check1(4)")->click();
  Get<QPushButton>("Check1(1)")->click();
  EXPECT_NE(preview->Picture(), before);
  preview->SetBackground(patch::PreviewBackground::kCheckerboard);
  EXPECT_EQ(preview->Picture(),
            FromPatchBytes(patchNow(), patch::PreviewBackground::kCheckerboard));

  // An opened patch: its drawn sprite.
  const auto swappedBytes = patchNow();
  test_support::WriteAll(patch_, std::string(swappedBytes.begin(), swappedBytes.end()));
  Get<QPushButton>("Check1(4)")->click();
  Get<QPushButton>("Check1(1)")->click();
  ASSERT_TRUE(window_.OpenPatchFile(patch_));
  EXPECT_EQ(preview->Picture(),
            FromPatchBytes(swappedBytes, patch::PreviewBackground::kCheckerboard));

  // Zoomed with square pixels, and saved as shown; never over the window's own input.
  preview->SetZoom(3);
  const image::Raster shown = preview->Shown();
  ASSERT_EQ(shown.Width(), 3 * 176);
  for (const auto& [x, y] : {std::pair{0, 0}, {40, 20}, {100, 77}, {175, 131}}) {
    for (int d = 0; d < 9; ++d)
      EXPECT_EQ(shown.At(3 * x + d % 3, 3 * y + d / 3), preview->Picture().At(x, y));
  }
  dialogs_.saveFiles.push_back(DisplayPath(folder_ / "shown.png"));
  ASSERT_TRUE(preview->Save());
  const QImage png(DisplayPath(folder_ / "shown.png"));
  ASSERT_EQ(png.size(), QSize(shown.Width(), shown.Height()));
  for (int y = 0; y < png.height(); ++y) {
    for (int x = 0; x < png.width(); ++x) {
      const QRgb p = png.pixel(x, y);
      ASSERT_EQ(image::Rgb(static_cast<std::uint8_t>(qRed(p)), static_cast<std::uint8_t>(qGreen(p)),
                           static_cast<std::uint8_t>(qBlue(p))),
                shown.At(x, y));
    }
  }
  const auto patchBytes = test_support::ReadAll(patch_);
  EXPECT_FALSE(preview->SaveFile(patch_));
  EXPECT_EQ(test_support::ReadAll(patch_), patchBytes);
  EXPECT_EQ(dialogs_.boxes.size(), 1U);
}

}  // namespace
}  // namespace kavelin::app::testing
