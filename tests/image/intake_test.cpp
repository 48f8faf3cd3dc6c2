#include "image/intake.hpp"

#include <gtest/gtest.h>

#include <stdexcept>

#include "image/palette_panel.hpp"
#include "image/poison_preview.hpp"
#include "template_fixture.hpp"

namespace kavelin::image::testing {
namespace {

TEST(CheckImageSignature, FirstBytesDecide) {
  TempFolder folder;
  const struct {
    const char* name;
    Bytes bytes;
    ImageStatus expected;
  } cases[] = {
      {"a.gif", {'G', 'I', 'F', '8', '9', 'a'}, ImageStatus::kOk},
      {"gif-named.bmp", {'G', 'I', 'F'}, ImageStatus::kOk},
      {"bitmap.png", {'B', 'M'}, ImageStatus::kOk},
      {"noname", {'B', 'M', 'x', 'y'}, ImageStatus::kOk},
      {"lower.gif", {'g', 'i', 'f', '8', '9', 'a'}, ImageStatus::kInvalidFile},
      {"lower.bmp", {'b', 'm', 0, 0}, ImageStatus::kInvalidFile},
      {"short.gif", {'G', 'I'}, ImageStatus::kInvalidFile},
      {"short.bmp", {'B'}, ImageStatus::kInvalidFile},
      {"empty.bmp", {}, ImageStatus::kInvalidFile},
      {"space.gif", {' ', 'G', 'I', 'F'}, ImageStatus::kInvalidFile},
      {"png.png", {0x89, 'P', 'N', 'G'}, ImageStatus::kInvalidFile},
      {"whole.png", {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}, ImageStatus::kOk},
      {"png-named.gif", {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0}, ImageStatus::kOk},
      {"seven.png", {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A}, ImageStatus::kInvalidFile},
      {"unix-damaged.png", {0x89, 'P', 'N', 'G', '\n', 0x1A, '\n', 0}, ImageStatus::kInvalidFile},
  };
  for (const auto& c : cases) {
    WriteFile(folder / c.name, c.bytes);
    EXPECT_EQ(CheckImageSignature(folder / c.name), c.expected) << c.name;
  }
  // What cannot be opened as a file is unreadable, and the check creates nothing.
  EXPECT_EQ(CheckImageSignature(folder / "missing.gif"), ImageStatus::kCannotRead);
  EXPECT_FALSE(std::filesystem::exists(folder / "missing.gif"));
  EXPECT_EQ(CheckImageSignature(folder.Path()), ImageStatus::kCannotRead);
  EXPECT_EQ(CheckImageSignature({}), ImageStatus::kCannotRead);
  EXPECT_EQ(MessageFor(ImageStatus::kCannotRead), "ファイルが読み込めません。");
  EXPECT_EQ(MessageFor(ImageStatus::kInvalidFile), "ファイルが不正です。");
}

using Intake = TemplateTest;

TEST_F(Intake, OriginOffsetFromPixel175_1) {
  const struct {
    const char* name;
    Raster picture;
    int offset;
  } cases[] = {
      {"176 wide", Margined(kWhite), 0},
      {"wider and taller", Raster(300, 200, Rgb(1, 1, 1)), 0},
      {"175 wide", WithoutMargin(Margined(kWhite)), -1},
      {"narrow", Raster(20, 20, kWhite), -1},
      {"(175, 1) is the background colour", Margined(kWhite, {{175, 1, kBackground}}), -1},
  };
  for (const auto& c : cases) {
    ASSERT_EQ(Load(c.picture), ImageStatus::kOk) << c.name;
    EXPECT_EQ(image_.originOffset, c.offset) << c.name;
  }
}

TEST_F(Intake, DisplayedRasterCoversThePictureArea) {
  ASSERT_EQ(Load(Raster(10, 5, kWhite)), ImageStatus::kOk);
  EXPECT_EQ(image_.displayed.Width(), kPictureAreaWidth);
  EXPECT_EQ(image_.displayed.Height(), kPictureAreaHeight);
  EXPECT_EQ(image_.displayed.At(9, 4), kWhite);
  EXPECT_EQ(image_.displayed.At(10, 4), kBackground);
  EXPECT_EQ(image_.displayed.At(9, 5), kBackground);
  // An image larger than the area is kept whole.
  ASSERT_EQ(Load(Raster(200, 150, kWhite)), ImageStatus::kOk);
  EXPECT_EQ(image_.displayed.Width(), 200);
  EXPECT_EQ(image_.displayed.Height(), 150);
}

TEST_F(Intake, SuccessRecordsThePathAndEnablesThePreview) {
  ASSERT_EQ(Load(Margined(kWhite, KnownColourPaints())), ImageStatus::kOk);
  EXPECT_EQ(image_.path, file_);
  EXPECT_TRUE(image_.toggles.preview.enabled);
  EXPECT_FALSE(image_.toggles.preview.ticked);
  EXPECT_EQ(image_.displayed, image_.loaded);
  EXPECT_EQ(decodes_, 1);
}

TEST_F(Intake, DecodingFailuresKeepThePreviousPictureButNotThePath) {
  ASSERT_EQ(Load(Margined(kWhite, KnownColourPaints())), ImageStatus::kOk);
  SetPoisonPreview(image_, true);
  const Raster shownBefore = image_.loaded;
  const SpritePalette paletteBefore = image_.palette;

  const struct {
    const char* name;
    ImageDecoder decoder;
  } cases[] = {
      {"refused", [](const auto&) { return std::optional<Raster>(); }},
      {"empty image", [](const auto&) { return std::optional<Raster>(Raster()); }},
      {"too wide", [](const auto&) { return std::optional<Raster>(Raster(kMaxImageSide + 1, 1)); }},
      {"throws", [](const auto&) -> std::optional<Raster> { throw std::runtime_error("x"); }},
      {"no decoder", ImageDecoder()},
  };
  for (const auto& c : cases) {
    image_.path = file_;
    image_.toggles.preview.enabled = true;
    EXPECT_EQ(LoadTemplateImage(image_, file_, c.decoder), ImageStatus::kInvalidFile) << c.name;
    EXPECT_TRUE(image_.path.empty()) << c.name;
    // The preview was turned off (restoring the picture) before the decode failed.
    EXPECT_EQ(image_.displayed, shownBefore) << c.name;
    EXPECT_EQ(image_.palette, paletteBefore) << c.name;
    EXPECT_EQ(image_.toggles.preview, Toggle{}) << c.name;
  }
}

TEST_F(Intake, OnlyRegularFilesReachTheDecoder) {
  const auto counting = [this](const auto&) {
    ++decodes_;
    return std::optional<Raster>(Margined(kWhite));
  };
  for (const std::filesystem::path& file :
       {folder_ / "missing.bmp", folder_.Path(), std::filesystem::path()}) {
    image_.path = file_;
    EXPECT_EQ(LoadTemplateImage(image_, file, counting), ImageStatus::kInvalidFile) << file;
    EXPECT_TRUE(image_.path.empty());
  }
  EXPECT_EQ(decodes_, 0);
}

TEST_F(Intake, TooManyColoursThenAGoodTemplate) {
  std::vector<Paint> paints = FifteenColourPaints(false);
  paints.push_back({60, 20, Rgb(77, 77, 77)});
  ASSERT_EQ(Load(Margined(kWhite, paints)), ImageStatus::kTooManyColours);
  // The preview has no template to show.
  SetPoisonPreview(image_, true);
  EXPECT_FALSE(image_.toggles.preview.ticked);

  ASSERT_EQ(Load(Margined(kWhite, KnownColourPaints())), ImageStatus::kOk);
  EXPECT_FALSE(image_.overflowPixel);
  EXPECT_EQ(image_.displayed, image_.loaded) << "the mark went with the old picture";
  EXPECT_TRUE(image_.toggles.entries[11].enabled);
  EXPECT_FALSE(image_.toggles.entries[12].enabled);
}

TEST_F(Intake, RejectedBrowseOrDropKeepsThePictureButEmptiesThePath) {
  ASSERT_EQ(Load(Margined(kWhite, KnownColourPaints())), ImageStatus::kOk);
  SetPoisonPreview(image_, true);
  const TemplateImage before = image_;
  const auto decoder = [this](const auto&) {
    ++decodes_;
    return std::optional<Raster>(Raster(1, 1));
  };

  WriteFile(folder_ / "lower.gif", {'g', 'i', 'f'});
  EXPECT_EQ(TakeInTemplateFile(image_, folder_ / "lower.gif", decoder), ImageStatus::kInvalidFile);
  EXPECT_EQ(TakeInTemplateFile(image_, folder_ / "gone.gif", decoder), ImageStatus::kCannotRead);
  EXPECT_EQ(decodes_, 1);
  EXPECT_TRUE(image_.path.empty());
  EXPECT_EQ(image_.displayed, before.displayed);
  EXPECT_EQ(image_.palette, before.palette);
  EXPECT_EQ(image_.toggles, before.toggles) << "the preview box keeps its state";
  // With no template, unticking the preview leaves the recoloured picture on screen.
  SetPoisonPreview(image_, false);
  EXPECT_EQ(image_.displayed, before.displayed);

  // An accepted signature goes on to the loader.
  EXPECT_EQ(TakeInTemplateFile(image_, file_, decoder), ImageStatus::kOk);
  EXPECT_EQ(image_.path, file_);
}

}  // namespace
}  // namespace kavelin::image::testing
