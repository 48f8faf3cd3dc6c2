#include "command/user_file.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "patch/patch_file.hpp"
#include "support/failure_access.hpp"
#include "support/file_io.hpp"
#include "support/trace.hpp"

namespace kavelin::command {
namespace {

using namespace ::kavelin::testing;

namespace fs = std::filesystem;

// Each problem is told apart, and only a whole regular file within the limit is read; a pipe
// is refused without being opened, so the read cannot hang on it.
TEST(UserFile, ReadsOnlyAWholeRegularFileWithinTheLimit) {
  KAVELIN_SKIP_IN_WEB_BUILD("FIFOs or devices");
  const test_support::TempFolder temp;
  const fs::path& folder = temp.Path();
  test_support::WriteAll(folder / "sheet.json", "{\"name\": \"x\"}");
  const auto read = ReadUserFile(folder / "sheet.json", 13);
  EXPECT_EQ(ReadProblemOf(read), ReadProblem::kNone);
  EXPECT_EQ(std::string(ValueOf(read).begin(), ValueOf(read).end()), "{\"name\": \"x\"}");

  const auto large = ReadUserFile(folder / "sheet.json", 12);
  EXPECT_EQ(ReadProblemOf(large), ReadProblem::kTooLarge);
  EXPECT_EQ(PartsOf<io::ReadParts>(large).size, 13u);
  EXPECT_TRUE(ValueOf(large).empty());

  EXPECT_EQ(ReadProblemOf(ReadUserFile(folder / "gone.json", 100)), ReadProblem::kNoSuchFile);
  EXPECT_EQ(ReadProblemOf(ReadUserFile(folder, 100)), ReadProblem::kNotRegularFile);
  ASSERT_EQ(mkfifo((folder / "pipe").c_str(), 0600), 0);
  EXPECT_EQ(ReadProblemOf(ReadUserFile(folder / "pipe", 100)), ReadProblem::kNotRegularFile);

  test_support::WriteAll(folder / "empty.k7p", "");
  const auto empty = ReadUserFile(folder / "empty.k7p", 100);
  EXPECT_EQ(ReadProblemOf(empty), ReadProblem::kNone);
  EXPECT_TRUE(ValueOf(empty).empty());
}

// Sheet files and patches go through the same read, each under its own cap, and what the
// parser finds wrong comes back apart from what kept the file from being read at all.
TEST(UserFile, SheetFilesAndPatchesAreReadUnderTheirCapsAndParsed) {
  const test_support::TempFolder temp;
  const fs::path& folder = temp.Path();
  const text::CodeTable codes;

  test_support::WriteAll(folder / "hero.json", "{\"gender\": 1, \"paletteSwaps\": [[1, 2]]}");
  const SheetFileRead sheet = ReadSheetFile(folder / "hero.json");
  ASSERT_TRUE(sheet.Ok()) << WhatOf(sheet);
  EXPECT_EQ(ValueOf(sheet).sheet.gender, 1);
  EXPECT_EQ(ValueOf(sheet).paletteSwaps, (std::vector<sheet::PaletteSwap>{{1, 2}}));

  test_support::WriteAll(folder / "bad.json", "{\"gender\": 9}");
  const SheetFileRead bad = ReadSheetFile(folder / "bad.json");
  EXPECT_FALSE(bad.Ok());
  EXPECT_EQ(ReadProblemOf(bad), ReadProblem::kNone);
  EXPECT_NE(WhatOf(bad).find("gender"), std::string::npos) << WhatOf(bad);
  EXPECT_EQ(ReadProblemOf(ReadSheetFile(folder / "gone.json")), ReadProblem::kNoSuchFile);

  // A sparse file one byte over each cap: refused by its size, never read into memory.
  test_support::WriteAll(folder / "huge.json", "");
  fs::resize_file(folder / "huge.json", kMaxSheetFileBytes + 1);
  const SheetFileRead huge = ReadSheetFile(folder / "huge.json");
  EXPECT_EQ(ReadProblemOf(huge), ReadProblem::kTooLarge);
  EXPECT_EQ(PartsOf<io::ReadParts>(huge).size, kMaxSheetFileBytes + 1);

  sheet::CharacterSheet character;
  image::TemplateImage blank;
  const auto built = patch::BuildPatchBytes(character, codes, blank);
  ASSERT_TRUE(built.Ok());
  test_support::WriteAll(folder / "hero.k7p", ValueOf(built));
  const PatchFileRead patch = ReadPatchFile(folder / "hero.k7p", codes);
  ASSERT_TRUE(patch.Ok()) << WhatOf(patch);
  EXPECT_EQ(ValueOf(patch).sheet.name, character.name);

  auto broken = ValueOf(built);
  broken[patch::kGenderOffset] = 0x00;
  test_support::WriteAll(folder / "broken.k7p", broken);
  const PatchFileRead malformed = ReadPatchFile(folder / "broken.k7p", codes);
  EXPECT_FALSE(malformed.Ok());
  EXPECT_EQ(ReadProblemOf(malformed), ReadProblem::kNone);
  EXPECT_EQ(PartsOf<patch::PatchProblemAt>(malformed).offset, patch::kGenderOffset);

  test_support::WriteAll(folder / "huge.k7p", ValueOf(built));
  fs::resize_file(folder / "huge.k7p", kMaxPatchFileBytes + 1);
  EXPECT_EQ(ReadProblemOf(ReadPatchFile(folder / "huge.k7p", codes)), ReadProblem::kTooLarge);
  fs::resize_file(folder / "huge.k7p", kMaxPatchFileBytes);
  const PatchFileRead atCap = ReadPatchFile(folder / "huge.k7p", codes);
  EXPECT_EQ(ReadProblemOf(atCap), ReadProblem::kNone);
  EXPECT_FALSE(atCap.Ok());  // read, then judged: a patch does not end in zeros
}

}  // namespace
}  // namespace kavelin::command
