// The File menu: sheet files, reopening a patch, template export and the unsaved-changes
// question, all through the menu's actions and scripted dialogs.
#include <sys/stat.h>

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <fstream>
#include <iterator>

#include "app/qt_text.hpp"
#include "image/decoder.hpp"
#include "patch/patch_reader.hpp"
#include "patch/sprite_tiles.hpp"
#include "patch/template_export.hpp"
#include "support/failure_access.hpp"
#include "window_fixture.hpp"

namespace kavelin::app::testing {
namespace {

using namespace ::kavelin::testing;

using Bytes = std::vector<std::uint8_t>;

QString Local(const std::filesystem::path& file) {
  return QString::fromStdString(file.string());
}

Bytes ReadBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void WriteText(const std::filesystem::path& file, std::string_view text) {
  image::testing::WriteFile(file, Bytes(text.begin(), text.end()));
}

class FileMenuTest : public LoadedWindowTest {
 protected:
  void Trigger(const char* action) { Trigger(window_, action); }
  static void Trigger(MainWindow& window, const char* action) {
    auto* item = window.findChild<QAction*>(action);
    ASSERT_NE(item, nullptr) << action;
    item->trigger();
    // The item returns first; its dialog opens from the event loop.
    QCoreApplication::processEvents();
  }
  // A character with every kind of field away from its fresh value, and one palette swap.
  void Edit() {
    sheet::CharacterSheet s = window_.ReadSheet();
    s.name = u"アルト";
    s.comment = u"一行目\r\n二行目";
    s.flags[0] = {true, true};
    s.basicStatus.stats[2] = u"18";
    s.basicStatus.destinyStar = 3;
    s.flags[2] = {true, false};
    s.initialArts.techniques = {3, 7, 0, 0};
    s.flags[6] = {true, true};
    s.growthRates.growthRates[14] = u"5";
    window_.ShowSheet(s);
    Toggle(5)->click();
    Toggle(9)->click();
  }
  QPushButton* Toggle(int i) { return Get<QPushButton>(QString("Check1(%1)").arg(i)); }
  std::vector<QString> Questions() const {
    std::vector<QString> texts;
    for (const Box& box : dialogs_.boxes)
      texts.push_back(box.text);
    return texts;
  }
  // Makes the patch of the current window at `patch_`, answering the confirmation.
  void MakePatch() {
    dialogs_.answers = {true};
    Get<QPushButton>("Command1")->click();
    ASSERT_TRUE(dialogs_.answers.empty());
    ASSERT_TRUE(std::filesystem::is_regular_file(patch_));
    dialogs_.boxes.clear();
  }
  std::unique_ptr<MainWindow> NewWindow() {
    return std::make_unique<MainWindow>(dialogs_, image::DecodeImageFile, folder_ / "KV7Tools.ini");
  }
};

TEST_F(FileMenuTest, MenuHoldsTheSixItemsWithTheirShortcuts) {
  auto* menu = window_.findChild<QMenuBar*>()->findChild<QMenu*>("FileMenu");
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(menu->title(), Q(u"ファイル(&F)"));
  QStringList items;
  for (QAction* action : menu->actions())
    if (!action->isSeparator()) items << action->text();
  EXPECT_EQ(items,
            QStringList({Q(u"キャラクターを開く…"), Q(u"キャラクターを保存…"), Q(u"パッチを開く…"),
                         Q(u"テンプレート画像を書き出す…"), Q(u"テンプレートの雛形を書き出す…"),
                         Q(u"最近使ったファイル"), Q(u"名前ファイルを開く…"),
                         Q(u"名前ファイルの場所を開く"), Q(u"終了")}));
  EXPECT_EQ(window_.findChild<QAction*>("SaveSheet")->shortcut(), QKeySequence("Ctrl+S"));
  EXPECT_EQ(window_.findChild<QAction*>("OpenSheet")->shortcut(), QKeySequence("Ctrl+O"));
  // Export needs a template: enabled now, disabled after a load that failed.
  EXPECT_TRUE(window_.findChild<QAction*>("ExportTemplate")->isEnabled());
  window_.TakeInFile(folder_ / "missing.bmp");
  EXPECT_FALSE(window_.findChild<QAction*>("ExportTemplate")->isEnabled());
}

TEST_F(FileMenuTest, SavedSheetOpensAgainWithItsSwapsAndIsTheCliFormat) {
  Edit();
  const sheet::SheetDocument made = window_.Document();
  ASSERT_EQ(made.paletteSwaps, (std::vector<sheet::PaletteSwap>{{5, 9}}));
  ASSERT_TRUE(window_.HasUnsavedChanges());

  const auto file = folder_ / "roller.json";
  dialogs_.saveFiles = {Local(file)};
  Trigger("SaveSheet");
  EXPECT_EQ(dialogs_.saveCall,
            QStringList({Q(u"キャラクターを保存"), Q(u"キャラクターファイル:k7c"),
                         Q(u"キャラクターファイル (JSON):json"), Local(folder_ / "hero.k7c")}));
  EXPECT_TRUE(dialogs_.boxes.empty());
  const Bytes saved = ReadBytes(file);
  const auto read =
      sheet::ReadSheetFile({reinterpret_cast<const char*>(saved.data()), saved.size()});
  ASSERT_TRUE(read.Ok()) << WhatOf(read);
  // The sheet names its template, beside it.
  EXPECT_EQ(ValueOf(read).templateFile, "hero.bmp");
  sheet::SheetDocument withoutTemplate = ValueOf(read);
  withoutTemplate.templateFile.clear();
  EXPECT_EQ(withoutTemplate, made);
  EXPECT_FALSE(window_.HasUnsavedChanges());

  // A fresh window with the same template loaded first, then the sheet: the swap is made
  // on its palette, as kavelin-cli make --sheet would.
  const auto other = NewWindow();
  other->TakeInFile(template_);
  dialogs_.files = {Local(file)};
  Trigger(*other, "OpenSheet");
  EXPECT_EQ(dialogs_.openCall,
            QStringList({Q(u"キャラクターを開く"), Q(u"キャラクターファイル(*.k7c *.json)"),
                         "*.k7c *.json"}));
  EXPECT_EQ(other->ReadSheet(), made.sheet);
  EXPECT_EQ(other->Template().palette, window_.Template().palette);
  EXPECT_FALSE(other->HasUnsavedChanges());
  // Sheet first, template after: the same palette.
  const auto third = NewWindow();
  EXPECT_TRUE(third->OpenSheetFile(file));
  third->TakeInFile(template_);
  EXPECT_EQ(third->Template().palette, window_.Template().palette);
  EXPECT_TRUE(dialogs_.boxes.empty());
}

TEST_F(FileMenuTest, SwapsThatATemplateCannotTakeAreLeftOutAndSaid) {
  WriteText(folder_ / "s.json", R"({"paletteSwaps": [[1, 2], [5, 14]]})");
  ASSERT_TRUE(window_.OpenSheetFile(folder_ / "s.json"));  // entry 14 is empty here
  ASSERT_EQ(dialogs_.boxes.size(), 1u);
  EXPECT_EQ(dialogs_.boxes[0].title, Q(u"注意"));
  EXPECT_TRUE(dialogs_.boxes[0].text.endsWith(Q(u"5 ⇔ 14")));
  EXPECT_EQ(window_.Document().paletteSwaps, (std::vector<sheet::PaletteSwap>{{1, 2}}));
  // The file still holds the swap the window could not make: saving would change it.
  EXPECT_TRUE(window_.HasUnsavedChanges());
}

TEST_F(FileMenuTest, UnsavedChangesAskOnCloseWithAllThreeAnswers) {
  window_.show();
  // Typing and undoing, or swapping twice, leaves nothing to save.
  Get<QLineEdit>("Text1")->setText("x");
  Get<QLineEdit>("Text1")->setText(Q(sheet::CharacterSheet{}.name));
  for (int round = 0; round < 2; ++round) {
    Toggle(5)->click();
    Toggle(9)->click();
  }
  EXPECT_FALSE(window_.HasUnsavedChanges());

  // A swap alone is a change: the patch would differ.
  Toggle(1)->click();
  Toggle(2)->click();
  EXPECT_TRUE(window_.HasUnsavedChanges());
  Get<QPlainTextEdit>("Text7")->setPlainText("memo");

  dialogs_.choices = {Answer::kCancel};
  EXPECT_FALSE(window_.close());
  ASSERT_EQ(Questions(), std::vector<QString>{Q(u"変更を保存しますか？")});
  EXPECT_EQ(dialogs_.boxes[0].icon, BoxIcon::kQuestion);
  EXPECT_EQ(window_.ReadSheet().comment, u"memo");

  // Yes, then the save dialog cancelled: still open.
  dialogs_.choices = {Answer::kYes};
  EXPECT_FALSE(window_.close());
  EXPECT_TRUE(window_.isVisible());

  // Yes and a name: saved, then closed.
  const auto file = folder_ / "memo.json";
  dialogs_.choices = {Answer::kYes};
  dialogs_.saveFiles = {Local(file)};
  EXPECT_TRUE(window_.close());
  EXPECT_TRUE(std::filesystem::is_regular_file(file));

  // No: closed, nothing written.
  window_.show();
  Get<QPlainTextEdit>("Text7")->setPlainText("more");
  dialogs_.choices = {Answer::kNo};
  EXPECT_TRUE(window_.close());
  const Bytes onDisk = ReadBytes(file);
  EXPECT_EQ(std::string(onDisk.begin(), onDisk.end()).find("more"), std::string::npos);
  EXPECT_TRUE(dialogs_.choices.empty());
}

TEST_F(FileMenuTest, FreshWindowClosesWithoutAsking) {
  const auto fresh = NewWindow();
  fresh->show();
  EXPECT_TRUE(fresh->close());
  EXPECT_TRUE(dialogs_.boxes.empty());
}

TEST_F(FileMenuTest, OpeningAnotherCharacterAsksFirstAndCancelKeepsEverything) {
  WriteText(folder_ / "other.json", R"({"name": "アルト"})");
  Edit();
  const sheet::SheetDocument before = window_.Document();

  dialogs_.choices = {Answer::kCancel};
  dialogs_.files = {Local(folder_ / "other.json")};
  Trigger("OpenSheet");
  EXPECT_TRUE(dialogs_.openCall.isEmpty());  // never got as far as the file dialog
  EXPECT_EQ(window_.Document(), before);

  dialogs_.choices = {Answer::kCancel};
  Trigger("OpenPatch");
  EXPECT_TRUE(dialogs_.openCall.isEmpty());

  dialogs_.choices = {Answer::kNo};
  Trigger("OpenSheet");
  EXPECT_EQ(window_.ReadSheet().name, u"アルト");
  // The opened sheet has no swaps: the template is back in its own order.
  EXPECT_TRUE(window_.Document().paletteSwaps.empty());
  EXPECT_EQ(window_.Template().palette.entries[5], image::testing::kKnownEntries[5]);
  EXPECT_FALSE(window_.HasUnsavedChanges());
}

TEST_F(FileMenuTest, UnreadableFilesSayWhyAndChangeNothing) {
  Edit();
  const sheet::SheetDocument before = window_.Document();
  const image::TemplateImage templateBefore = window_.Template();

  WriteText(folder_ / "bad.json", R"({"initialArts": {"spells": ["FF", "FF", "B1", "FF"]}})");
  WriteText(folder_ / "broken.json", "{\"name\": ");
  std::filesystem::create_directory(folder_ / "folder.json");
  MakePatch();
  Bytes truncated = ReadBytes(patch_);
  truncated.resize(100);
  image::testing::WriteFile(folder_ / "short.k7p", truncated);

  const std::vector<std::pair<std::filesystem::path, QString>> cases = {
      {folder_ / "bad.json",
       Q(u"キー「initialArts.spells[2]」のコード「B1」は術の一覧にありません。")},
      {folder_ / "broken.json", ""},
      {folder_ / "folder.json", Q(u"ファイルが読み込めません。")},
      {folder_ / "short.k7p",
       Q(u"オフセット 100: ファイルが 100 バイトしかなく、パッチの固定部分の 7158 "
         u"バイトに足りません。")},
  };
  for (const auto& [file, reason] : cases) {
    dialogs_.boxes.clear();
    const bool patch = file.extension() == ".k7p";
    EXPECT_FALSE(patch ? window_.OpenPatchFile(file) : window_.OpenSheetFile(file));
    ASSERT_EQ(dialogs_.boxes.size(), 1u) << file;
    const Box& box = dialogs_.boxes[0];
    EXPECT_EQ(box.title, Q(u"読み込みエラー"));
    EXPECT_EQ(box.icon, BoxIcon::kStop);
    const QStringList lines = box.text.split("\r\n");
    ASSERT_EQ(lines.size(), 3) << box.text.toStdString();
    EXPECT_EQ(lines[0], patch ? Q(u"パッチファイルを読み込めませんでした。")
                              : Q(u"キャラクターファイルを読み込めませんでした。"));
    EXPECT_EQ(lines[1], Local(file));
    EXPECT_TRUE(lines[2].startsWith(reason)) << lines[2].toStdString();
    EXPECT_FALSE(lines[2].isEmpty());
    EXPECT_EQ(window_.Document(), before);
    EXPECT_EQ(window_.Template().palette, templateBefore.palette);
    EXPECT_EQ(window_.Template().path, template_);
  }
  EXPECT_TRUE(window_.OpenedPatch().empty());
}

// Open a patch the program wrote, press the button without changing anything: the same
// bytes, written over the opened patch after asking.
TEST_F(FileMenuTest, ReopenedPatchMakesTheSameBytesOverItself) {
  Edit();
  const sheet::CharacterSheet made = window_.ReadSheet();
  MakePatch();
  const Bytes original = ReadBytes(patch_);
  const auto copy = folder_ / "copy.k7p";
  image::testing::WriteFile(copy, original);

  const auto other = NewWindow();
  dialogs_.files = {Local(copy)};
  Trigger(*other, "OpenPatch");
  ASSERT_TRUE(dialogs_.boxes.empty()) << dialogs_.boxes[0].text.toStdString();
  EXPECT_EQ(dialogs_.openCall,
            QStringList({Q(u"パッチを開く"), Q(u"パッチファイル(*.k7p)"), "*.k7p"}));
  EXPECT_EQ(other->ReadSheet(), made);
  EXPECT_TRUE(other->Template().fromPatch);
  // The drawn palette gives the patch's words, in the patch's order.
  EXPECT_EQ(patch::PaletteWords(other->Template().palette),
            ValueOf(patch::ReadPatchFile(original, other->Codes())).paletteWords);
  // The patch's order needs swaps after a fresh extraction; they are the sheet's now.
  EXPECT_FALSE(other->Document().paletteSwaps.empty());
  EXPECT_FALSE(other->HasUnsavedChanges());
  EXPECT_TRUE(other->findChild<QAction*>("ExportTemplate")->isEnabled());

  // Declining to replace it writes nothing.
  image::testing::WriteFile(copy, {'o', 'l', 'd'});
  dialogs_.answers = {true, false};
  other->findChild<QPushButton*>("Command1")->click();
  ASSERT_EQ(dialogs_.boxes.size(), 2u);
  EXPECT_EQ(dialogs_.boxes[1].title, Q(u"確認"));
  EXPECT_EQ(dialogs_.boxes[1].icon, BoxIcon::kExclamation);
  EXPECT_EQ(dialogs_.boxes[1].text,
            Q(u"開いたパッチファイルを上書きします。よろしいですか？") + "\r\n" + Local(copy));
  EXPECT_EQ(ReadBytes(copy), Bytes({'o', 'l', 'd'}));

  dialogs_.boxes.clear();
  dialogs_.answers = {true, true};
  other->findChild<QPushButton*>("Command1")->click();
  ASSERT_EQ(dialogs_.boxes.size(), 3u);
  EXPECT_EQ(dialogs_.boxes[2].text, Q(u"処理が終了しました"));
  EXPECT_EQ(ReadBytes(copy), original);
  // Nothing beside it: the drawn template has no file to name a patch after.
  EXPECT_FALSE(std::filesystem::exists(folder_ / "copy.gif"));
}

TEST_F(FileMenuTest, ExportedTemplateAndSavedSheetMakeThePatchAgain) {
  Edit();
  MakePatch();
  const Bytes original = ReadBytes(patch_);
  const auto other = NewWindow();
  ASSERT_TRUE(other->OpenPatchFile(patch_));

  // The same picture kavelin-cli export draws.
  const auto exported = folder_ / "drawn.gif";
  dialogs_.saveFiles = {Local(exported)};
  Trigger(*other, "ExportTemplate");
  EXPECT_EQ(dialogs_.saveCall,
            QStringList({Q(u"テンプレート画像を書き出す"), Q(u"GIF 画像:gif"), Q(u"BMP 画像:bmp"),
                         Q(u"PNG 画像:png"), Local(folder_ / "hero.gif")}));
  ASSERT_TRUE(dialogs_.boxes.empty());
  const auto contents = ValueOf(patch::ReadPatchFile(original, other->Codes()));
  EXPECT_EQ(image::DecodeImageFile(exported),
            patch::ExportTemplate(contents.paletteWords, contents.tiles).raster);
  const auto sheetFile = folder_ / "drawn.json";
  ASSERT_TRUE(other->SaveSheetFile(sheetFile));

  // Template and sheet in a fresh window give the original patch.
  const auto third = NewWindow();
  third->TakeInFile(exported);
  ASSERT_TRUE(third->OpenSheetFile(sheetFile));
  third->SetWriteOptions({.output = folder_ / "again.k7p", .sync = false});
  dialogs_.answers = {true};
  third->findChild<QPushButton*>("Command1")->click();
  EXPECT_EQ(ReadBytes(folder_ / "again.k7p"), original);
}

TEST_F(FileMenuTest, ExportOfALoadedTemplateLoadsBackTheSameAndBadNamesAreRefused) {
  // Every format written is read back as the same template.
  for (const char* name : {"hero-copy.png", "hero-copy.bmp"}) {
    const auto copy = folder_ / name;
    ASSERT_TRUE(window_.ExportTemplateFile(copy)) << name;
    const auto other = NewWindow();
    other->TakeInFile(copy);
    EXPECT_EQ(other->Template().loaded, window_.Template().loaded) << name;
    EXPECT_EQ(other->Template().palette, window_.Template().palette) << name;
  }

  // The template's own format is offered, never its own name or a file that is there.
  dialogs_.saveFiles.clear();
  Trigger("ExportTemplate");
  EXPECT_EQ(dialogs_.saveCall.last(), Local(folder_ / "hero-2.bmp"));
  WriteText(folder_ / "hero-2.bmp", "taken");
  Trigger("ExportTemplate");
  EXPECT_EQ(dialogs_.saveCall.last(), Local(folder_ / "hero-3.bmp"));
  // The sheet is named after the template, beside it, and never over a file there.
  WriteText(folder_ / "hero.k7c", "{}");
  Trigger("SaveSheet");
  EXPECT_EQ(dialogs_.saveCall.last(), Local(folder_ / "hero-2.k7c"));

  WriteText(folder_ / "keep.txt", "keep");
  EXPECT_FALSE(window_.ExportTemplateFile(folder_ / "keep.txt"));
  ASSERT_EQ(dialogs_.boxes.size(), 1u);
  EXPECT_EQ(dialogs_.boxes[0].title, Q(u"書き込みエラー"));
  EXPECT_TRUE(dialogs_.boxes[0].text.endsWith(
      Q(u"名前の最後を .gif、.bmp、.png のいずれかにしてください。")));
  EXPECT_EQ(ReadBytes(folder_ / "keep.txt"), Bytes({'k', 'e', 'e', 'p'}));

  // A save into a missing folder fails, and the changes stay unsaved.
  Edit();
  dialogs_.boxes.clear();
  EXPECT_FALSE(window_.SaveSheetFile(folder_ / "no" / "such.json"));
  ASSERT_EQ(dialogs_.boxes.size(), 1u);
  EXPECT_TRUE(dialogs_.boxes[0].text.endsWith(Q(u"フォルダが見つかりません。")));
  EXPECT_TRUE(window_.HasUnsavedChanges());
}

TEST_F(FileMenuTest, SaveAndExportNeverWriteOverWhatTheWindowReadsFrom) {
  Edit();
  MakePatch();
  const Bytes patch = ReadBytes(patch_);
  const auto templateFile = window_.Template().path;
  const Bytes picture = ReadBytes(templateFile);
  const auto other = NewWindow();
  ASSERT_TRUE(other->OpenPatchFile(patch_));
  ASSERT_EQ(::mkfifo((folder_ / "pipe.json").c_str(), 0644), 0);
  const auto refused = [&](MainWindow& window, bool save, const std::filesystem::path& file,
                           const QString& reason) {
    dialogs_.boxes.clear();
    EXPECT_FALSE(save ? window.SaveSheetFile(file) : window.ExportTemplateFile(file)) << file;
    ASSERT_EQ(dialogs_.boxes.size(), 1u) << file;
    EXPECT_EQ(dialogs_.boxes[0].icon, BoxIcon::kStop);
    EXPECT_EQ(dialogs_.boxes[0].title, Q(u"書き込みエラー"));
    EXPECT_TRUE(dialogs_.boxes[0].text.endsWith(reason)) << dialogs_.boxes[0].text.toStdString();
  };
  const QString ownInput =
      Q(u"開いているパッチやテンプレート画像と同じファイルには書き込めません。");
  refused(*other, true, patch_, ownInput);
  refused(*other, false, patch_.parent_path() / "." / patch_.filename(), ownInput);
  refused(window_, true, templateFile, ownInput);
  refused(window_, false, templateFile, ownInput);
  refused(window_, true, folder_ / "pipe.json",
          Q(u"通常のファイルではないため、置き換えられません。"));
  EXPECT_EQ(ReadBytes(patch_), patch);
  EXPECT_EQ(ReadBytes(templateFile), picture);
  EXPECT_TRUE(std::filesystem::is_fifo(folder_ / "pipe.json"));
  EXPECT_TRUE(window_.HasUnsavedChanges());
}

}  // namespace
}  // namespace kavelin::app::testing
