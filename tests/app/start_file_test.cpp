// The file a file manager hands the window, and the blank template of the File menu.
#include <QAction>
#include <QCoreApplication>
#include <QPushButton>
#include <fstream>
#include <iterator>

#include "app/qt_text.hpp"
#include "image/blank_template.hpp"
#include "sheet/sheet_file.hpp"
#include "window_fixture.hpp"

namespace kavelin::app::testing {
namespace {

std::string ReadText(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void WriteText(const std::filesystem::path& file, std::string_view text) {
  image::testing::WriteFile(file, std::vector<std::uint8_t>(text.begin(), text.end()));
}

class StartFileTest : public LoadedWindowTest {
 protected:
  std::unique_ptr<MainWindow> NewWindow() {
    return std::make_unique<MainWindow>(dialogs_, image::DecodeImageFile, folder_ / "KV7Tools.ini");
  }
};

TEST_F(StartFileTest, EachKindOpensAsTheMenuWouldWhateverItsName) {
  // A patch named like a template.
  dialogs_.answers = {true};
  Get<QPushButton>("Command1")->click();
  ASSERT_TRUE(std::filesystem::is_regular_file(patch_));
  std::filesystem::rename(patch_, folder_ / "patch.gif");
  const auto fromPatch = NewWindow();
  dialogs_.boxes.clear();
  fromPatch->OpenCommandLineFile(folder_ / "patch.gif");
  EXPECT_TRUE(dialogs_.boxes.empty());
  EXPECT_TRUE(fromPatch->Template().fromPatch);
  EXPECT_EQ(fromPatch->OpenedPatch(), folder_ / "patch.gif");

  // A sheet file under its own extension.
  sheet::SheetDocument document;
  document.sheet.name = u"アルト";
  WriteText(folder_ / "alto.k7c", sheet::WriteSheetFile(document));
  const auto fromSheet = NewWindow();
  fromSheet->OpenCommandLineFile(folder_ / "alto.k7c");
  EXPECT_TRUE(dialogs_.boxes.empty());
  EXPECT_EQ(fromSheet->ReadSheet().name, u"アルト");
  EXPECT_FALSE(fromSheet->Template().Loaded());

  // A template under a patch's name.
  std::filesystem::copy_file(template_, folder_ / "hero-template.k7p");
  const auto fromTemplate = NewWindow();
  fromTemplate->OpenCommandLineFile(folder_ / "hero-template.k7p");
  EXPECT_TRUE(dialogs_.boxes.empty());
  EXPECT_EQ(fromTemplate->Template().path, folder_ / "hero-template.k7p");

  // Anything else, or nothing, gets the intake's message, as a template always did.
  WriteText(folder_ / "notes.txt", "hello");
  for (const char* name : {"notes.txt", "missing.gif"}) {
    dialogs_.boxes.clear();
    const auto other = NewWindow();
    other->OpenCommandLineFile(folder_ / name);
    ASSERT_EQ(dialogs_.boxes.size(), 1u) << name;
    EXPECT_EQ(dialogs_.boxes[0].text, Q(u"ファイルが不正です。")) << name;
    EXPECT_EQ(dialogs_.boxes[0].title, Q(u"読み込みエラー")) << name;
    EXPECT_FALSE(other->Template().Loaded()) << name;
  }
}

TEST_F(StartFileTest, BlankTemplateIsWrittenWhereChosenAndLoads) {
  dialogs_.saveFiles = {QString::fromStdString((folder_ / "blank.gif").string())};
  window_.findChild<QAction*>("ExportBlankTemplate")->trigger();
  QCoreApplication::processEvents();
  EXPECT_EQ(dialogs_.saveCall.first(), Q(u"テンプレートの雛形を書き出す"));
  ASSERT_TRUE(dialogs_.boxes.empty());
  const auto other = NewWindow();
  other->TakeInFile(folder_ / "blank.gif");
  ASSERT_TRUE(dialogs_.boxes.empty());
  EXPECT_EQ(other->Template().palette.entries[0], image::kBlankBackdrop);
  EXPECT_EQ(other->Template().originOffset, 0);
  // The loaded template is not touched by writing a blank one.
  EXPECT_EQ(window_.Template().path, template_);

  // Refused names and failed writes say why and leave files as they were.
  WriteText(folder_ / "keep.txt", "keep");
  EXPECT_FALSE(window_.ExportBlankTemplateFile(folder_ / "keep.txt"));
  EXPECT_FALSE(window_.ExportBlankTemplateFile(folder_ / "no" / "blank.bmp"));
  ASSERT_EQ(dialogs_.boxes.size(), 2u);
  EXPECT_EQ(dialogs_.boxes[0].title, Q(u"書き込みエラー"));
  EXPECT_TRUE(dialogs_.boxes[0].text.startsWith(Q(u"テンプレートの雛形を書き出せませんでした。")));
  EXPECT_TRUE(dialogs_.boxes[1].text.endsWith(Q(u"フォルダが見つかりません。")));
  EXPECT_EQ(ReadText(folder_ / "keep.txt"), "keep");
  EXPECT_FALSE(std::filesystem::exists(folder_ / "no"));
}

}  // namespace
}  // namespace kavelin::app::testing
