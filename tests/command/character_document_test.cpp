// The character behind the window: templates taken in with the sheet's swaps, the swaps a
// template cannot take, opening files and telling whether anything is unsaved.
#include "command/character_document.hpp"

#include <gtest/gtest.h>

#include "image/decoder.hpp"
#include "image/encoder.hpp"
#include "image/palette_panel.hpp"
#include "image/template_fixture.hpp"
#include "patch/patch_writer.hpp"
#include "patch/sprite_tiles.hpp"
#include "support/failure_access.hpp"
#include "support/file_io.hpp"

namespace kavelin::command {
namespace {

using namespace ::kavelin::testing;

namespace fs = std::filesystem;
using image::testing::KnownColourPaints;
using image::testing::kWhite;
using image::testing::Margined;
using sheet::PaletteSwap;
using test_support::TempFolder;

class Document : public ::testing::Test {
 protected:
  Document() {
    // Entries 0 to 11 hold colours, 12 to 15 are empty.
    const auto bytes = image::EncodeImageFile(Margined(kWhite, KnownColourPaints()), template_);
    test_support::WriteAll(template_, *bytes);
  }
  // The template taken in, as every case needs it.
  TemplateIntake Load(CharacterDocument& document) {
    TemplateIntake intake =
        document.LoadTemplate(template_, image::DecodeImageFile, IntakeMode::kChecked);
    EXPECT_TRUE(intake.Ok()) << WhatOf(intake);
    return intake;
  }

  TempFolder folder_;
  fs::path template_ = folder_ / "hero.gif";
};

TEST_F(Document, SwapsATemplateCannotTakeAreSkippedAndTheOthersMadeInOrder) {
  image::TemplateImage fresh;
  ASSERT_EQ(TakeInTemplate(fresh, template_, image::DecodeImageFile, IntakeMode::kChecked, {}).Ok(),
            true);
  const std::vector<PaletteSwap> wanted = {{1, 2}, {5, 14}, {4, 4}, {0, 6}, {12, 13}, {2, 6}};
  image::TemplateImage swapped;
  const TemplateIntake intake =
      TakeInTemplate(swapped, template_, image::DecodeImageFile, IntakeMode::kChecked, wanted);
  ASSERT_TRUE(intake.Ok());
  const std::vector<PaletteSwap> made = {{1, 2}, {4, 4}, {0, 6}, {2, 6}};
  EXPECT_EQ(intake->made, made);
  EXPECT_EQ(intake->skipped, (std::vector<PaletteSwap>{{5, 14}, {12, 13}}));
  // Each entry holds the colour the swaps moved there, in the order they were made.
  const auto order = SwapArrangement(made);
  for (std::size_t i = 0; i < order.size(); ++i) {
    EXPECT_EQ(swapped.palette.entries[i], fresh.palette.entries[static_cast<std::size_t>(order[i])])
        << "entry " << i;
  }
  // A template that cannot be taken in applies nothing.
  image::TemplateImage none;
  EXPECT_NE(TakeInTemplate(none, folder_ / "gone.gif", image::DecodeImageFile, IntakeMode::kChecked,
                           wanted)
                .Ok(),
            true);
}

TEST_F(Document, UnsavedChangesFollowTheEffectOfTheSwapsNotTheirHistory) {
  CharacterDocument document;
  (void)Load(document);
  const sheet::CharacterSheet sheet;
  document.MarkSaved(document.Document(sheet), {});
  EXPECT_FALSE(document.HasUnsavedChanges(sheet));
  for (const int entry : {5, 9})
    document.TogglePalette(entry, true);
  EXPECT_EQ(document.Swaps(), (std::vector<PaletteSwap>{{5, 9}}));
  EXPECT_TRUE(document.HasUnsavedChanges(sheet));
  for (const int entry : {9, 5})
    document.TogglePalette(entry, true);
  EXPECT_EQ(document.Swaps().size(), 2u);
  EXPECT_FALSE(document.HasUnsavedChanges(sheet)) << "swapped back: nothing to save";
  sheet::CharacterSheet edited;
  edited.name = u"アルト";
  EXPECT_TRUE(document.HasUnsavedChanges(edited));
  // A template without an entry of the character's swaps drops that swap from it.
  document.TogglePalette(3, true);  // the reserved entry never ticks
  document.TogglePalette(11, true);
  document.TogglePalette(1, true);
  const auto before = document.Swaps();
  const auto plain = image::EncodeImageFile(Margined(kWhite), folder_ / "plain.gif");
  test_support::WriteAll(folder_ / "plain.gif", *plain);
  const TemplateIntake intake =
      document.LoadTemplate(folder_ / "plain.gif", image::DecodeImageFile, IntakeMode::kChecked);
  EXPECT_EQ(intake->skipped, before);
  EXPECT_TRUE(document.Swaps().empty());
}

TEST_F(Document, FilesThatCannotBeOpenedLeaveTheCharacterAsItWas) {
  CharacterDocument document;
  (void)Load(document);
  document.TogglePalette(1, true);
  document.TogglePalette(2, true);
  const auto palette = document.Template().palette;
  test_support::WriteAll(folder_ / "bad.json", std::string_view(R"({"nmae": 1})"));
  test_support::WriteAll(folder_ / "bad.k7p", std::string_view("K7Pxx"));
  struct Case {
    OpenResult opened;
    ReadProblem problem;
    std::string reason;
    bool offset;
  };
  const Case cases[] = {
      {document.OpenSheetFile(folder_ / "gone.json"), ReadProblem::kNoSuchFile, "", false},
      {document.OpenSheetFile(folder_ / "bad.json"), ReadProblem::kNone, "nmae: unknown key",
       false},
      {document.OpenPatchFile(folder_.Path(), {}), ReadProblem::kNotRegularFile, "", false},
      {document.OpenPatchFile(folder_ / "bad.k7p", {}), ReadProblem::kNone, "", true},
  };
  for (const Case& c : cases) {
    ASSERT_FALSE(c.opened.Ok());
    EXPECT_EQ(io::ProblemOf(c.opened.Why()), c.problem);
    if (!c.reason.empty()) {
      EXPECT_EQ(c.opened.Why().what, c.reason);
    }
    EXPECT_EQ(c.opened.Why().PartsAs<patch::PatchProblemAt>() != nullptr, c.offset);
  }
  EXPECT_EQ(document.Swaps(), (std::vector<PaletteSwap>{{1, 2}}));
  EXPECT_EQ(document.Template().palette, palette);
  EXPECT_EQ(document.Template().path, template_);
  EXPECT_TRUE(document.OpenedPatch().empty());
}

TEST_F(Document, AnOpenedPatchIsTheCharacterWithItsSpriteAsTheTemplate) {
  CharacterDocument maker;
  (void)Load(maker);
  for (const int entry : {4, 7})
    maker.TogglePalette(entry, true);
  const text::CodeTable codes;
  ASSERT_EQ(patch::WritePatchFile({}, codes, maker.Template(),
                                  {.output = folder_ / "hero.k7p", .sync = false})
                .Ok(),
            true);

  CharacterDocument document;
  test_support::WriteAll(folder_ / "s.json", std::string_view("{}"));
  ASSERT_TRUE(document.OpenSheetFile(folder_ / "s.json").Ok());
  const OpenResult opened = document.OpenPatchFile(folder_ / "hero.k7p", codes);
  ASSERT_TRUE(opened.Ok());
  EXPECT_EQ(opened->document.sheet, sheet::CharacterSheet{});
  EXPECT_TRUE(document.Template().fromPatch);
  EXPECT_EQ(document.OpenedPatch(), folder_ / "hero.k7p");
  EXPECT_TRUE(document.SheetFile().empty()) << "the character lives in the patch now";
  EXPECT_EQ(patch::PaletteWords(document.Template().palette),
            patch::PaletteWords(maker.Template().palette));
  // Made again, the opened character gives the same patch.
  ASSERT_EQ(patch::WritePatchFile(opened->document.sheet, codes, document.Template(),
                                  {.output = folder_ / "again.k7p", .sync = false})
                .Ok(),
            true);
  EXPECT_EQ(test_support::ReadAll(folder_ / "again.k7p"),
            test_support::ReadAll(folder_ / "hero.k7p"));
}

}  // namespace
}  // namespace kavelin::command
