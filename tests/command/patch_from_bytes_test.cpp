// The road from bytes gives the bytes the road from files writes, and says which input
// it refused.
#include "command/patch_from_bytes.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "command/create_patch.hpp"
#include "command/template_intake.hpp"
#include "image/decoder.hpp"
#include "sheet/sheet_file.hpp"
#include "support/failure_access.hpp"
#include "support/file_io.hpp"

namespace kavelin::command {
namespace {

using namespace ::kavelin::testing;

namespace fs = std::filesystem;
using test_support::Bytes;

const fs::path kExamples = KAVELIN_EXAMPLES;

// Answers yes to everything, as `make --yes` does.
class Yes : public CreatePatchDialogs {
 public:
  void ShowInputErrors(const validate::CheckResult&) override {}
  bool ConfirmWarnings(const validate::CheckResult&) override { return true; }
  bool ConfirmCreate() override { return true; }
  void ShowDone(const std::filesystem::path&) override {}
  void ShowWriteFailure(const Failure&) override {}
};

// The patch the file road writes for a sheet document and a template file; empty when it
// writes none.
Bytes FromFiles(const sheet::SheetDocument& document, const fs::path& templateFile,
                const fs::path& output) {
  image::TemplateImage image;
  const TemplateIntake intake = TakeInTemplate(image, templateFile, image::DecodeImageFile,
                                               IntakeMode::kChecked, document.paletteSwaps);
  if (!intake) return {};
  Yes yes;
  fs::remove(output);
  const CreatePatchResult written =
      CreatePatch(document.sheet, image, text::CodeTable{}, yes, {.output = output, .sync = false});
  return written.outcome == CreatePatchOutcome::kWritten ? test_support::ReadAll(output) : Bytes{};
}

class PatchFromBytesTest : public ::testing::Test {
 protected:
  const std::string sheet_ = test_support::ReadText(kExamples / "hero.json");
  const Bytes template_ = test_support::ReadAll(kExamples / "hero.gif");
  test_support::TempFolder temp_;
};

TEST_F(PatchFromBytesTest, TheExampleGivesTheBytesTheFileRoadWrites) {
  const MadeFromBytes made = MakePatchFromBytes(sheet_, template_, {});
  ASSERT_TRUE(made.Ok()) << WhatOf(made);
  ASSERT_TRUE(made->plan.built && made->plan.built->Ok());
  const sheet::SheetFileResult read = sheet::ReadSheetFile(sheet_);
  ASSERT_TRUE(read.Ok());
  EXPECT_EQ(**made->plan.built,
            FromFiles(*read, kExamples / "hero.gif", temp_.Path() / "hero.k7p"));
}

// Sheets varied field by field (sections on and off, swaps, odd names): the same bytes
// both ways, and where the road finds errors, no bytes either way.
TEST_F(PatchFromBytesTest, GeneratedSheetsGiveTheSameBytesBothWays) {
  sheet::SheetFileResult base = sheet::ReadSheetFile(sheet_);
  ASSERT_TRUE(base.Ok());
  const std::vector<std::u16string> names = {u"アルト", u"  ab ", u"", u"ｶﾞﾙﾀﾞ",
                                             u"名前が長すぎる名前"};
  int made = 0;
  for (int n = 0; n < 120; ++n) {
    sheet::SheetDocument document = *base;
    document.sheet.name = names[static_cast<std::size_t>(n) % names.size()];
    for (std::size_t f = 0; f < document.sheet.flags.size(); ++f) {
      document.sheet.flags[f].enabled = ((n >> f) & 1) != 0;
      document.sheet.flags[f].locked = ((n >> (f + 1)) & 1) != 0;
    }
    document.sheet.basicStatus.stats[static_cast<std::size_t>(n) % 7] =
        std::u16string(1, static_cast<char16_t>(u'0' + n % 10));
    document.sheet.initialArts.techniques = {n % 4, n % 3, n % 4, 0};
    document.paletteSwaps.clear();
    if (n % 3 == 1) document.paletteSwaps.push_back({4 + n % 5, 9 + n % 6});  // not 3, the black
    const std::string json = sheet::WriteSheetFile(document);
    const MadeFromBytes fromBytes = MakePatchFromBytes(json, template_, {});
    ASSERT_TRUE(fromBytes.Ok()) << n << ": " << WhatOf(fromBytes);
    const Bytes fromFiles = FromFiles(document, kExamples / "hero.gif", temp_.Path() / "hero.k7p");
    const PatchPlan& plan = fromBytes->plan;
    const bool ok = !plan.errors.Found() && plan.built && plan.built->Ok();
    EXPECT_EQ(ok ? **plan.built : Bytes{}, fromFiles) << "sheet " << n;
    made += ok ? 1 : 0;
  }
  EXPECT_GT(made, 30) << "many generated sheets make a patch";
}

TEST_F(PatchFromBytesTest, ARefusedInputIsNamed) {
  const Bytes text = {'h', 'e', 'l', 'l', 'o'};
  const Bytes truncated(template_.begin(), template_.begin() + 40);
  // The reason tells which input was refused: the sheet's kinds or the image's.
  const struct {
    std::string sheet;
    Bytes picture;
    std::error_code reason;  // none when the patch is made
  } cases[] = {
      {"{\"name\": 5}", template_, sheet::SheetProblemKind::kWrongType},
      {"not json", template_, sheet::SheetProblemKind::kNotJson},
      {"", {}, image::ImageStatus::kInvalidFile},
      {"", text, image::ImageStatus::kInvalidFile},
      {"", truncated, image::ImageStatus::kInvalidFile},
      {"", template_, {}},
  };
  for (const auto& c : cases) {
    const MadeFromBytes made = MakePatchFromBytes(c.sheet, c.picture, {});
    ASSERT_EQ(made.Ok(), !c.reason) << c.sheet << " / " << c.picture.size();
    if (!made) {
      EXPECT_EQ(made.Why().reason, c.reason) << c.sheet << " / " << c.picture.size();
      EXPECT_FALSE(made.Why().what.empty());
    } else {
      EXPECT_TRUE(made->plan.built && made->plan.built->Ok());
    }
  }
}

}  // namespace
}  // namespace kavelin::command
