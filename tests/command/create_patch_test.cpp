#include "command/create_patch.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "image/poison_preview.hpp"
#include "image/sprite_cells.hpp"
#include "support/failure_access.hpp"
#include "support/file_io.hpp"

namespace kavelin::command {
namespace {

using namespace ::kavelin::testing;

namespace fs = std::filesystem;

// Records every box the road shows and answers its questions from a script.
class ScriptedDialogs : public CreatePatchDialogs {
 public:
  bool answer = true;
  std::vector<std::string> shown;
  std::u16string lastReport;
  sheet::CharacterSheet tidied;

  void ShowTidied(const sheet::CharacterSheet& sheet) override { tidied = sheet; }
  void ShowInputErrors(const validate::CheckResult& errors) override {
    shown.push_back("errors");
    lastReport = errors.report;
  }
  bool ConfirmWarnings(const validate::CheckResult& warnings) override {
    shown.push_back("warnings");
    lastReport = warnings.report;
    return answer;
  }
  bool ConfirmCreate() override {
    shown.push_back("confirm");
    return answer;
  }
  void ShowDone(const std::filesystem::path&) override { shown.push_back("done"); }
  void ShowWriteFailure(const Failure& failed) override {
    shown.push_back("write failed");
    lastReport = text::FromUtf8(failed.what).value_or(u"");
  }
};

class CreatePatchRoad : public ::testing::Test {
 protected:
  void SetUp() override {
    image_.path = folder_ / "hero.bmp";
    std::ofstream(image_.path) << "BM";
    // A loaded template: cells in white with one entry-6 colour, preview available.
    image_.loaded = image::Raster(187, 137, image::Rgb(255, 255, 255));
    image_.loaded.Set(13, 15, image::Rgb(10, 20, 30));
    image_.displayed = image_.loaded;
    image_.palette.entries[0] = image::Rgb(255, 255, 255);
    image_.palette.entries[3] = 0;
    image_.palette.entries[6] = image::Rgb(10, 20, 30);
    image_.toggles.preview.enabled = true;
  }

  CreatePatchResult Run() {
    return CreatePatch(sheet_, image_, codes_, dialogs_, {.output = {}, .sync = false});
  }
  fs::path Patch() const { return folder_ / "hero.k7p"; }

  test_support::TempFolder temp_;
  const fs::path& folder_ = temp_.Path();
  sheet::CharacterSheet sheet_;
  image::TemplateImage image_;
  text::CodeTable codes_;
  ScriptedDialogs dialogs_;
};

TEST_F(CreatePatchRoad, ErrorsEndTheRoadWithTheirReportOnly) {
  sheet_.name = u"  ABC ";
  sheet_.Flags(sheet::Section::kOtherTraits).enabled = true;
  sheet_.otherTraits.exclusiveWeapon = 1;  // would warn, but errors come first
  const sheet::CharacterSheet given = sheet_;
  const CreatePatchResult ended = Run();
  EXPECT_EQ(ended.outcome, CreatePatchOutcome::kInputErrors);
  EXPECT_EQ(dialogs_.shown, (std::vector<std::string>{"errors"}));
  EXPECT_EQ(dialogs_.lastReport, u"名前に存在しない文字が使われています。「Ａ」");
  EXPECT_EQ(ended.tidied.name, u"ＡＢＣ") << "the tidied name is given back";
  EXPECT_EQ(dialogs_.tidied, ended.tidied) << "and shown before the box";
  EXPECT_EQ(sheet_, given) << "the road leaves its input as it was";
  EXPECT_FALSE(fs::exists(Patch()));

  // Mended, the next run shows the caution box instead.
  sheet_.name = u"名無しさん";
  dialogs_.answer = false;
  EXPECT_EQ(Run().outcome, CreatePatchOutcome::kDeclined);
  EXPECT_EQ(dialogs_.shown, (std::vector<std::string>{"errors", "warnings"}));
  EXPECT_FALSE(fs::exists(Patch()));
}

TEST_F(CreatePatchRoad, ConfirmationDecidesWhetherAnythingIsWritten) {
  dialogs_.answer = false;
  EXPECT_EQ(Run().outcome, CreatePatchOutcome::kDeclined);
  EXPECT_EQ(dialogs_.shown, (std::vector<std::string>{"confirm"}));
  EXPECT_FALSE(fs::exists(Patch()));

  dialogs_.answer = true;
  const auto result = Run();
  EXPECT_EQ(result.outcome, CreatePatchOutcome::kWritten);
  ASSERT_TRUE(result.write && *result.write);
  EXPECT_EQ(**result.write, Patch());
  EXPECT_EQ(dialogs_.shown, (std::vector<std::string>{"confirm", "confirm", "done"}));
  EXPECT_EQ(fs::file_size(Patch()), 7158u);
}

TEST_F(CreatePatchRoad, WarningsAnsweredYesWrite) {
  sheet_.Flags(sheet::Section::kInitialEquipment).enabled = true;
  sheet_.initialEquipment.weapons = {80, 0, 81, 0};  // two shields
  EXPECT_EQ(Run().outcome, CreatePatchOutcome::kWritten);
  EXPECT_EQ(dialogs_.shown, (std::vector<std::string>{"warnings", "done"}));
  EXPECT_EQ(dialogs_.lastReport,
            u"盾が複数装備されています。\r\nこの設定でパッチを作成してもよろしいですか？");
}

// The preview is the window's: the road neither turns it off nor encodes its colours.
TEST_F(CreatePatchRoad, ThePatchIsEncodedFromTheTemplatesOwnColoursWhateverIsShown) {
  image::SetPoisonPreview(image_, true);
  ASSERT_NE(image_.displayed, image_.loaded);
  const image::Raster shown = image_.displayed;
  sheet_.name = u"";
  Run();
  EXPECT_TRUE(image_.toggles.preview.ticked);
  EXPECT_EQ(image_.displayed, shown);
  sheet_.name = u"名無しさん";
  Run();
  const auto withPreviewOn = fs::file_size(Patch());
  std::ifstream in(Patch(), std::ios::binary);
  std::vector<char> bytes(withPreviewOn);
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  // Pixel (13, 15) sits in tile 17 (at 9, 9): row 6, column 4, index 6 (bits 0110).
  const std::size_t tile = 54 + 17 * 32;
  EXPECT_EQ(static_cast<unsigned char>(bytes[tile + 6 * 2]) & 0x08, 0);       // plane 0
  EXPECT_EQ(static_cast<unsigned char>(bytes[tile + 6 * 2 + 1]) & 0x08, 8);   // plane 1
  EXPECT_EQ(static_cast<unsigned char>(bytes[tile + 16 + 6 * 2]) & 0x08, 8);  // plane 2
}

TEST_F(CreatePatchRoad, AFailedWriteIsReportedNotFollowedByDone) {
  image_.path = folder_ / "missing" / "hero.bmp";
  EXPECT_EQ(Run().outcome, CreatePatchOutcome::kWriteFailed);
  EXPECT_EQ(dialogs_.shown, (std::vector<std::string>{"confirm", "write failed"}));
  EXPECT_NE(dialogs_.lastReport.find(u"パッチファイルを作成できませんでした。"),
            std::u16string::npos);
}

}  // namespace
}  // namespace kavelin::command
