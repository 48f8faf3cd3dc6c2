#include "command/save_file.hpp"

#include <gtest/gtest.h>

#include <cstring>

#include "image/decoder.hpp"
#include "support/failure_access.hpp"
#include "support/file_io.hpp"

namespace kavelin::command {
namespace {

using namespace ::kavelin::testing;

namespace fs = std::filesystem;

// A picture of `colours` different colours in one row.
image::Raster Picture(int colours) {
  image::Raster raster(colours, 1);
  for (int x = 0; x < colours; ++x)
    raster.Set(x, 0,
               image::Rgb(static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(x >> 8), 0x40));
  return raster;
}

// The name alone chooses the format; only a GIF can refuse a picture, by its colours.
TEST(SaveFile, ThePictureIsEncodedAsItsNameSays) {
  const struct {
    const char* name;
    int colours;
    EncodeProblem problem;
    const char* starts;  // the format's signature
  } cases[] = {
      {"a.gif", 256, EncodeProblem::kNone, "GIF8"},
      {"a.GIF", 4, EncodeProblem::kNone, "GIF8"},
      {"a.gif", 257, EncodeProblem::kTooManyColoursForGif, ""},
      {"a.png", 257, EncodeProblem::kNone, "\x89PNG"},
      {"a.Bmp", 3, EncodeProblem::kNone, "BM"},
      {"a.jpg", 3, EncodeProblem::kNotAnImageName, ""},
      {"gif", 3, EncodeProblem::kNotAnImageName, ""},
  };
  for (const auto& c : cases) {
    const auto bytes = EncodeImageAs(Picture(c.colours), c.name);
    EXPECT_EQ(ReasonOf<EncodeProblem>(bytes), c.problem) << c.name << " " << c.colours;
    if (!bytes) {
      EXPECT_EQ(bytes.Why().file, c.name);
      continue;
    }
    EXPECT_EQ(std::string(bytes->begin(), bytes->begin() + std::strlen(c.starts)), c.starts);
    // Read back, every pixel is the picture's.
    const auto decoded = image::DecodeImage(*bytes);
    ASSERT_TRUE(decoded) << c.name;
    EXPECT_EQ(*decoded, Picture(c.colours)) << c.name;
  }
}

// A refused picture writes nothing; a written one goes to the target as a whole, in the
// format of the name the user gave.
TEST(SaveFile, AnExportWritesTheTargetOnlyWhenItsPictureFits) {
  const test_support::TempFolder temp;
  const fs::path target = temp.Path() / "target.bin";
  test_support::WriteAll(target, "old");
  const io::WriteOutcome refused = ExportImage(Picture(300), "shown.gif", target, false);
  ASSERT_FALSE(refused);
  EXPECT_EQ(refused.Why().exit, ExitClass::kBadInput);
  EXPECT_EQ(test_support::ReadText(target), "old");

  ASSERT_TRUE(ExportImage(Picture(300), "shown.png", target, false));
  EXPECT_EQ(test_support::ReadText(target).substr(1, 3), "PNG");
  const io::WriteOutcome nowhere =
      ExportImage(Picture(2), "x.gif", temp.Path() / "gone" / "x.gif", false);
  ASSERT_FALSE(nowhere);
  EXPECT_EQ(nowhere.Why().exit, ExitClass::kWriteFailed);
}

// The saved sheet names its template relative to where it is saved, and reads back whole.
TEST(SaveFile, ASavedSheetNamesItsTemplateFromWhereItIs) {
  const test_support::TempFolder temp;
  fs::create_directories(temp.Path() / "art");
  sheet::SheetDocument document;
  document.sheet.name = u"アルト";
  document.paletteSwaps = {{1, 2}};
  const fs::path target = temp.Path() / "hero.k7c";
  const sheet::SheetDocument saved =
      DocumentSavedAs(document, temp.Path() / "art" / "hero.gif", target);
  EXPECT_EQ(saved.templateFile, "art/hero.gif");
  EXPECT_EQ(DocumentSavedAs(document, {}, target).templateFile, "");
  ASSERT_TRUE(SaveSheet(saved, target, false));
  const auto read = sheet::ReadSheetFile(test_support::ReadText(target));
  ASSERT_TRUE(read) << WhatOf(read);
  EXPECT_EQ(*read, saved);
}

}  // namespace
}  // namespace kavelin::command
