#include "image/encoder.hpp"

#include <gtest/gtest.h>

#include <QtGui/QImage>

#include "image/decoder.hpp"
#include "image_files.hpp"
#include "qt_reference_decoder.hpp"

namespace kavelin::image::testing {
namespace {

Raster Noise(int width, int height, int colours) {
  Raster r(width, height);
  std::uint32_t seed = 7, k = 0;
  for (auto& c : r.Pixels()) {
    seed = seed * 1103515245u + 12345u;
    // The first pixels take every colour once, so that the count is exact.
    const auto n = k < static_cast<std::uint32_t>(colours)
                       ? k++
                       : (seed >> 8) % static_cast<std::uint32_t>(colours);
    c = Rgb(static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8),
            static_cast<std::uint8_t>(n * 37));
  }
  return r;
}

// Every format written reads back as the same pixels, through our decoder and through Qt's
// independent one.
TEST(Encoder, WrittenFilesReadBackExactly) {
  TempFolder folder;
  const struct {
    Raster raster;
    const char* name;
  } cases[] = {
      {Noise(176, 132, 15), "template.gif"},
      {Noise(7, 3, 2), "odd.gif"},
      {Noise(176, 132, 15), "template.bmp"},
      {Noise(33, 5, 256), "full.bmp"},
      {Noise(31, 17, 4000), "deep.bmp"},
      {Noise(176, 132, 15), "template.PNG"},
      {Noise(31, 17, 4000), "deep.png"},
      // Rows of more than 65535 bytes: several stored blocks in a build without zlib.
      {Noise(256, 510, 200), "tall.png"},
      {Noise(200, 200, 4000), "large.png"},
  };
  for (const auto& c : cases) {
    const auto bytes = EncodeImageFile(c.raster, c.name);
    ASSERT_TRUE(bytes) << c.name;
    WriteFile(folder / c.name, *bytes);
    const auto qt = QImage(QString::fromStdString((folder / c.name).string()));
    ASSERT_FALSE(qt.isNull()) << c.name;
    ASSERT_EQ(qt.width(), c.raster.Width());
    ASSERT_EQ(qt.height(), c.raster.Height());
    for (int y = 0; y < qt.height(); ++y) {
      for (int x = 0; x < qt.width(); ++x) {
        const QRgb p = qt.pixel(x, y);
        ASSERT_EQ(Rgb(static_cast<std::uint8_t>(qRed(p)), static_cast<std::uint8_t>(qGreen(p)),
                      static_cast<std::uint8_t>(qBlue(p))),
                  c.raster.At(x, y))
            << c.name << " at " << x << "," << y;
      }
    }
    EXPECT_EQ(DecodeImageFile(folder / c.name), c.raster) << c.name;
  }
}

TEST(Encoder, RefusesWhatTheFormatCannotHold) {
  EXPECT_FALSE(EncodeImageFile(Noise(8, 8, 4), "template.jpg"));
  EXPECT_FALSE(EncodeImageFile(Noise(8, 8, 4), "template"));
  EXPECT_FALSE(EncodeImageFile(Raster(), "empty.png"));
  EXPECT_FALSE(EncodeImageFile(Raster(), "empty.bmp"));
  EXPECT_FALSE(EncodeImageFile(Noise(20, 20, 300), "many.gif"));
  // A template of 16 colours is written with a colour table: 8 bits a pixel, not 24.
  const auto bmp = EncodeBmp(Noise(176, 132, 16));
  ASSERT_TRUE(bmp);
  EXPECT_EQ((*bmp)[28], 8);
  EXPECT_LT(bmp->size(), 176u * 132u + 2000u);
}

}  // namespace
}  // namespace kavelin::image::testing
