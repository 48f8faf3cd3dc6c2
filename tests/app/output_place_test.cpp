// Where the window's writes land: never on a file it reads, never over a file of another
// kind or through a link without asking, never over a pipe; and the template a sheet names
// found from the sheet's real folder.
#include <sys/stat.h>

#include <QPushButton>
#include <QStatusBar>
#include <functional>

#include "app/game_preview_window.hpp"
#include "app/qt_text.hpp"
#include "io/atomic_file.hpp"
#include "patch/patch_file.hpp"
#include "sheet/sheet_file.hpp"
#include "support/file_io.hpp"
#include "window_fixture.hpp"

namespace kavelin::app::testing {
namespace {

using test_support::ReadText;
using test_support::WriteAll;

bool StartsWith(const std::filesystem::path& file, std::string_view signature) {
  return ReadText(file).starts_with(signature);
}

class OutputPlaceTest : public LoadedWindowTest {
 protected:
  void Press(MainWindow& window, std::deque<bool> answers) {
    dialogs_.boxes.clear();
    dialogs_.answers = std::move(answers);
    window.findChild<QPushButton*>("Command1")->click();
    EXPECT_TRUE(dialogs_.answers.empty());
  }
  // The questions about an output's place, told from the road's own by their icon.
  std::vector<Box> PlaceQuestions() const {
    std::vector<Box> asked;
    for (const Box& box : dialogs_.boxes)
      if (box.icon == BoxIcon::kExclamation && box.title == Q(u"確認")) asked.push_back(box);
    return asked;
  }
};

TEST_F(OutputPlaceTest, APatchNeverLandsOnAFileTheWindowReads) {
  struct Case {
    const char* name;
    std::filesystem::path output;  // empty: the name the template gives
    std::u16string_view input;
    std::filesystem::path named;  // the input the refusal names; empty: the loaded template
  };
  // A sheet under the patch's name, told by its content, naming the template beside it.
  const std::string sheetText = R"({"name": "アルト", "template": "hero.bmp"})";
  WriteAll(patch_, sheetText);
  WriteAll(folder_ / "KV7Tools.ini", "[KV7]\n");
  std::filesystem::create_symlink(template_, folder_ / "link.k7p");
  const std::vector<Case> cases = {
      {"the opened sheet", {}, u"開いているキャラクターファイル", patch_},
      {"the settings file", folder_ / "KV7Tools.ini", u"設定ファイル", folder_ / "KV7Tools.ini"},
      {"the template through a link", folder_ / "link.k7p", u"読み込んでいるテンプレート画像", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MainWindow window(dialogs_, image::DecodeImageFile, folder_ / "KV7Tools.ini");
    window.OpenCommandLineFile(patch_);
    ASSERT_EQ(window.ReadSheet().name, u"アルト");
    ASSERT_TRUE(io::SameFile(window.Template().path, template_));
    window.SetWriteOptions({.output = c.output, .sync = false});
    const std::string settings = ReadText(folder_ / "KV7Tools.ini");
    const std::string picture = ReadText(template_);

    Press(window, {true});
    ASSERT_EQ(dialogs_.boxes.size(), 2u);
    EXPECT_EQ(dialogs_.boxes[0].title, Q(u"確認"));
    const Box& refusal = dialogs_.boxes[1];
    EXPECT_EQ(refusal.icon, BoxIcon::kStop);
    EXPECT_EQ(refusal.title, Q(u"書き込みエラー"));
    const std::filesystem::path output =
        c.output.empty() ? patch::PatchOutputName(window.Template().path) : c.output;
    const std::filesystem::path named = c.named.empty() ? window.Template().path : c.named;
    EXPECT_EQ(refusal.text, Q(u"パッチファイルを作成できませんでした。") + "\r\n" +
                                DisplayPath(output) + "\r\n" + Q(c.input) + Q(u"「") +
                                DisplayPath(named) +
                                Q(u"」と同じファイルのため、書き込めません。"));
    EXPECT_EQ(ReadText(patch_), sheetText);
    EXPECT_EQ(ReadText(folder_ / "KV7Tools.ini"), settings);
    EXPECT_EQ(ReadText(template_), picture);
    EXPECT_TRUE(std::filesystem::is_symlink(folder_ / "link.k7p"));
  }
}

TEST_F(OutputPlaceTest, WhatIsInAWritesPlaceIsAskedAboutAndAPipeNeverReplaced) {
  GamePreviewWindow* preview = window_.ShowGamePreview();
  struct Writer {
    const char* name;
    std::string file;
    std::string_view signature;
    std::function<void(const std::filesystem::path&, std::deque<bool>)> write;
    bool asksForItsOwnKind;
  };
  const auto simply = [this](std::function<void(const std::filesystem::path&)> write) {
    return [this, write](const std::filesystem::path& file, std::deque<bool> answers) {
      dialogs_.boxes.clear();
      dialogs_.answers = std::move(answers);
      write(file);
      EXPECT_TRUE(dialogs_.answers.empty());
    };
  };
  const std::vector<Writer> writers = {
      {"patch", "out.k7p", "K7P",
       [this](const std::filesystem::path& file, std::deque<bool> answers) {
         window_.SetWriteOptions({.output = file, .sync = false});
         answers.push_front(true);  // the road's own confirmation first
         Press(window_, std::move(answers));
       },
       false},
      {"sheet", "out.k7c", "{",
       simply([this](const std::filesystem::path& f) { window_.SaveSheetFile(f); }), false},
      {"template", "out.gif", "GIF8",
       simply([this](const std::filesystem::path& f) { window_.ExportTemplateFile(f); }), false},
      {"blank template", "blank.png", "\x89PNG",
       simply([this](const std::filesystem::path& f) { window_.ExportBlankTemplateFile(f); }),
       true},
      {"preview", "shown.bmp", "BM",
       simply([preview](const std::filesystem::path& f) { preview->SaveFile(f); }), false},
  };
  const std::filesystem::path target = folder_ / "target.txt";
  for (const Writer& w : writers) {
    SCOPED_TRACE(w.name);
    const std::filesystem::path file = folder_ / w.file;

    // Another kind of file: No keeps it, Yes replaces it.
    WriteAll(file, "notes");
    w.write(file, {false});
    ASSERT_EQ(PlaceQuestions().size(), 1u);
    EXPECT_TRUE(PlaceQuestions()[0].text.contains(DisplayPath(file)));
    EXPECT_TRUE(PlaceQuestions()[0].text.contains(Q(u"別の種類のファイル")))
        << PlaceQuestions()[0].text.toStdString();
    EXPECT_EQ(ReadText(file), "notes");
    w.write(file, {true});
    EXPECT_TRUE(StartsWith(file, w.signature));

    // Its own kind: replaced as the save dialog asked, the blank template asking again.
    w.write(file, w.asksForItsOwnKind ? std::deque<bool>{true} : std::deque<bool>{});
    EXPECT_EQ(PlaceQuestions().size(), w.asksForItsOwnKind ? 1u : 0u);
    EXPECT_TRUE(StartsWith(file, w.signature));

    // A link: asked whether to write to the file it names, which Yes replaces; the link
    // stays a link.
    std::filesystem::remove(file);
    WriteAll(target, "notes");
    std::filesystem::create_symlink(target, file);
    w.write(file, {false});
    ASSERT_EQ(PlaceQuestions().size(), 1u);
    EXPECT_TRUE(PlaceQuestions()[0].text.startsWith(
        Q(u"「") + DisplayPath(file) + Q(u"」はシンボリックリンクです。リンク先の「") +
        DisplayPath(target) + Q(u"」に書き込みますか？")))
        << PlaceQuestions()[0].text.toStdString();
    EXPECT_EQ(ReadText(target), "notes");
    w.write(file, {true});
    EXPECT_TRUE(std::filesystem::is_symlink(file));
    EXPECT_TRUE(StartsWith(target, w.signature));

    // A pipe: refused without a question, and still a pipe.
    std::filesystem::remove(file);
    ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
    w.write(file, {});
    EXPECT_TRUE(PlaceQuestions().empty());
    ASSERT_FALSE(dialogs_.boxes.empty());
    EXPECT_EQ(dialogs_.boxes.back().title, Q(u"書き込みエラー"));
    EXPECT_TRUE(std::filesystem::is_fifo(file));
    std::filesystem::remove(file);
  }
}

TEST_F(OutputPlaceTest, ASheetThroughALinkedFolderFindsTheTemplateBesideTheRealOne) {
  const std::filesystem::path real = folder_ / "real", sheets = real / "sheets";
  std::filesystem::create_directories(sheets);
  const std::filesystem::path wanted = real / "t.bmp", decoy = folder_ / "t.bmp";
  std::filesystem::copy_file(template_, wanted);
  WriteTemplate(decoy, image::testing::Margined(image::testing::kWhite, {}));
  std::filesystem::create_symlink(sheets, folder_ / "linked");
  WriteAll(sheets / "s.k7c", R"({"template": "../t.bmp"})");

  MainWindow window(dialogs_, image::DecodeImageFile, folder_ / "KV7Tools.ini");
  dialogs_.boxes.clear();
  ASSERT_TRUE(window.OpenSheetFile(folder_ / "linked" / "s.k7c"));
  EXPECT_TRUE(dialogs_.boxes.empty());
  EXPECT_TRUE(io::SameFile(window.Template().path, wanted)) << window.Template().path;
  EXPECT_FALSE(io::SameFile(window.Template().path, decoy));
  EXPECT_EQ(window.findChild<QStatusBar*>("StatusBar")->currentMessage(),
            Q(u"テンプレート: ") + DisplayPath(sheet::RealPath(wanted)));
}

}  // namespace
}  // namespace kavelin::app::testing
