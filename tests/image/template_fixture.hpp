// Templates drawn in memory, and a test fixture that loads them through a fake decoder.
#pragma once

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "image/intake.hpp"
#include "image_files.hpp"

namespace kavelin::image::testing {

inline constexpr Colour kWhite = Rgb(255, 255, 255);
inline constexpr Colour kBlack = Rgb(0, 0, 0);
inline constexpr Colour kGap = Rgb(100, 100, 100);

// Cells from (1, 1) and 176 pixels wide, so that (175, 1) lies on the image.
inline constexpr int kMarginedWidth = 176;
inline constexpr int kMarginedHeight = 133;

struct Paint {
  int x, y;
  Colour c;
};

// Everything `gaps`, every cell pixel `cells`, then the paints (margined coordinates).
Raster Margined(Colour cells, const std::vector<Paint>& paints = {}, Colour gaps = kGap);
// The same layout without the outer margin: 175 wide, cells from (0, 0).
Raster WithoutMargin(const Raster& margined);

// The template of known colours: entries 0 to 11 assigned, 12 to 15 empty.
std::vector<Paint> KnownColourPaints();
// Entry values of that template, in entry order.
extern const std::vector<Colour> kKnownEntries;

// Fifteen distinct cell colours over white, black among them or not.
std::vector<Paint> FifteenColourPaints(bool withBlack);

class TemplateTest : public ::testing::Test {
 protected:
  TemplateTest() { WriteFile(file_, {'B', 'M', 0}); }

  // Loads `raster` as if decoded from the fixture's file.
  ImageStatus Load(Raster raster) {
    return LoadTemplateImage(image_, file_, [this, r = std::move(raster)](const auto&) {
      ++decodes_;
      return std::optional<Raster>(r);
    });
  }

  TempFolder folder_;
  std::filesystem::path file_ = folder_ / "template.bmp";
  TemplateImage image_;
  int decodes_ = 0;
};

}  // namespace kavelin::image::testing
