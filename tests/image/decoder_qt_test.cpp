#include "image/decoder_qt.hpp"

#include <gtest/gtest.h>

#include <QtGui/QImage>
#include <map>

#include "image/decoder.hpp"
#include "image/intake.hpp"
#include "image_files.hpp"
#include "template_fixture.hpp"

namespace kavelin::image::testing {
namespace {

// Seven pixels wide, so that rows need padding and end in the middle of a byte.
IndexedImage Sample(int colours) {
  IndexedImage image{7, 3, {}, {}};
  for (int i = 0; i < colours; ++i) {
    const auto v = static_cast<std::uint8_t>(i);
    image.palette.push_back(Rgb(static_cast<std::uint8_t>(255 - v),
                                static_cast<std::uint8_t>(v * 7),
                                static_cast<std::uint8_t>(v * 13)));
  }
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x)
      image.indices.push_back(static_cast<std::uint8_t>((x * 3 + y * 5) % colours));
  }
  return image;
}

// The palette image of a raster of at most 256 colours.
IndexedImage Indexed(const Raster& raster) {
  IndexedImage image{raster.Width(), raster.Height(), {}, {}};
  std::map<Colour, std::uint8_t> index;
  for (const Colour c : raster.Pixels()) {
    const auto [at, added] = index.try_emplace(c, static_cast<std::uint8_t>(image.palette.size()));
    if (added) image.palette.push_back(c);
    image.indices.push_back(at->second);
  }
  return image;
}

class QtDecoder : public ::testing::Test {
 protected:
  std::optional<Raster> Decode(const char* name, const Bytes& bytes) {
    WriteFile(folder_ / name, bytes);
    return DecodeImageFile(folder_ / name);
  }
  TempFolder folder_;
};

TEST_F(QtDecoder, BitmapVariantsDecodeToTheirColours) {
  const struct {
    const char* name;
    BmpKind kind;
    int colours;
    bool topDown;
  } cases[] = {
      {"1bit.bmp", BmpKind::k1Bit, 2, false},      {"4bit.bmp", BmpKind::k4Bit, 16, false},
      {"8bit.bmp", BmpKind::k8Bit, 40, false},     {"24bit.bmp", BmpKind::k24Bit, 16, false},
      {"rle4.bmp", BmpKind::kRle4, 16, false},     {"rle8.bmp", BmpKind::kRle8, 40, false},
      {"topdown8.bmp", BmpKind::k8Bit, 16, true},  {"topdown4.bmp", BmpKind::k4Bit, 9, true},
      {"topdown24.bmp", BmpKind::k24Bit, 5, true},
  };
  for (const auto& c : cases) {
    const IndexedImage image = Sample(c.colours);
    const auto decoded = Decode(c.name, Bmp(image, c.kind, c.topDown));
    EXPECT_TRUE(decoded) << c.name;
    if (decoded) {
      EXPECT_EQ(*decoded, image.ToRaster()) << c.name;
    }
  }
}

TEST_F(QtDecoder, GifVariants) {
  for (const int colours : {2, 16, 256}) {
    const IndexedImage image = Sample(colours);
    const auto decoded = Decode("plain.gif", Gif({{image}}));
    ASSERT_TRUE(decoded) << colours;
    EXPECT_EQ(*decoded, image.ToRaster()) << colours;
  }

  // The transparent index shows the picture area's background.
  const IndexedImage image = Sample(16);
  const auto transparent = Decode("transparent.gif", Gif({{image, 3}}));
  ASSERT_TRUE(transparent);
  Raster expected = image.ToRaster();
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      if (image.indices[static_cast<std::size_t>(y * image.width + x)] == 3)
        expected.Set(x, y, kBackground);
    }
  }
  EXPECT_EQ(*transparent, expected);

  // Only the first frame of an animation.
  IndexedImage second = image;
  for (auto& i : second.indices)
    i = static_cast<std::uint8_t>((i + 1) % 16);
  const auto animated = Decode("animated.gif", Gif({{image}, {second}}));
  ASSERT_TRUE(animated);
  EXPECT_EQ(*animated, image.ToRaster());

  // Content decides, not the name.
  const auto misnamed = Decode("really-a-gif.bmp", Gif({{image}}));
  ASSERT_TRUE(misnamed);
  EXPECT_EQ(*misnamed, image.ToRaster());
  const auto japanese = Decode("テンプレ画像.gif", Gif({{image}}));
  EXPECT_TRUE(japanese);
}

TEST_F(QtDecoder, TheSizeCapIsCheckedOnTheHeader) {
  // Real files at the limit and one pixel past it.
  IndexedImage wide{kMaxImageSide, 1, {kWhite}, std::vector<std::uint8_t>(kMaxImageSide, 0)};
  EXPECT_TRUE(Decode("limit.bmp", Bmp(wide, BmpKind::k24Bit)));
  wide.width += 1;
  wide.indices.push_back(0);
  EXPECT_FALSE(Decode("over.bmp", Bmp(wide, BmpKind::k24Bit)));
  // Headers that claim far more than the file holds: GIF screen height, BMP height
  // (top-down, so negative).
  Bytes gif = Gif({{Sample(2)}});
  gif[8] = 0xFF, gif[9] = 0xFF;
  EXPECT_FALSE(Decode("tall.gif", gif));
  Bytes bmp = Bmp(Sample(2), BmpKind::k8Bit, true);
  bmp[22] = 0x00, bmp[23] = 0x00, bmp[24] = 0xF0;  // -1048576
  EXPECT_FALSE(Decode("tall.bmp", bmp));
}

// Run-length bitmaps may end a row or the whole picture early; the pixels they skip
// must read as entry 0 every time, not as whatever memory held before.
TEST_F(QtDecoder, PixelsARunLengthBitmapSkipsReadAsEntryZero) {
  const Colour red = Rgb(200, 0, 0), blue = Rgb(0, 0, 200);
  // 16 x 4, bottom row first: two blue pixels and the end of the row, then the end of the
  // bitmap; three rows and fourteen pixels are never written.
  const Bytes pixels = {2, 1, 0, 0, 0, 1};
  Bytes bmp = {'B', 'M'};
  const auto le = [&bmp](std::uint32_t v, int n) {
    for (int i = 0; i < n; ++i)
      bmp.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  };
  le(62 + static_cast<std::uint32_t>(pixels.size()), 4), le(0, 4), le(62, 4);
  le(40, 4), le(16, 4), le(4, 4), le(1, 2), le(8, 2), le(1, 4);
  le(static_cast<std::uint32_t>(pixels.size()), 4), le(2835, 4), le(2835, 4), le(2, 4), le(0, 4);
  bmp.insert(bmp.end(), {0, 0, 200, 0, 200, 0, 0, 0});
  bmp.insert(bmp.end(), pixels.begin(), pixels.end());
  for (int round = 0; round < 3; ++round) {
    // Leave freed memory of about the picture's size full of another entry first.
    for (int i = 0; i < 8; ++i) {
      auto* junk = new std::uint8_t[64];
      std::fill_n(junk, 64, std::uint8_t{7});
      delete[] junk;
    }
    const auto decoded = Decode("rle8.bmp", bmp);
    ASSERT_TRUE(decoded);
    Raster expected(16, 4, red);
    expected.Set(0, 3, blue);
    expected.Set(1, 3, blue);
    EXPECT_EQ(*decoded, expected);
  }
}

TEST_F(QtDecoder, RefusedFiles) {
  const IndexedImage image = Sample(16);
  Bytes truncated = Bmp(image, BmpKind::k8Bit);
  truncated.resize(30);
  EXPECT_FALSE(Decode("garbage.bmp", {'B', 'M', 1, 2, 3}));
  EXPECT_FALSE(Decode("truncated-header.bmp", truncated));
  EXPECT_FALSE(Decode("garbage.gif", {'G', 'I', 'F', '8', '9', 'a', 0}));
  EXPECT_FALSE(Decode("empty.gif", {}));
  // Formats Qt reads but a template is not.
  const QString png = QString::fromStdString((folder_ / "template.png").string());
  ASSERT_TRUE(image.ToRaster().Width() > 0 && QImage(7, 3, QImage::Format_RGB32).save(png, "PNG"));
  EXPECT_FALSE(DecodeImageFile(folder_ / "template.png"));
  EXPECT_FALSE(DecodeImageFile(folder_ / "missing.bmp"));
  EXPECT_FALSE(DecodeImageFile(folder_.Path()));
}

TEST_F(QtDecoder, TemplatesLoadThroughTheRealDecoder) {
  const Raster margined = Margined(kWhite, KnownColourPaints());
  const struct {
    const char* name;
    Bytes bytes;
    int offset;
  } cases[] = {
      {"template.bmp", Bmp(Indexed(margined), BmpKind::k8Bit), 0},
      {"template.gif", Gif({{Indexed(WithoutMargin(margined))}}), -1},
  };
  for (const auto& c : cases) {
    WriteFile(folder_ / c.name, c.bytes);
    TemplateImage image;
    ASSERT_EQ(TakeInTemplateFile(image, folder_ / c.name, DecodeImageFile), ImageStatus::kOk)
        << c.name;
    EXPECT_EQ(image.originOffset, c.offset);
    EXPECT_EQ(std::vector<Colour>(image.palette.entries.begin(), image.palette.entries.end()),
              kKnownEntries)
        << c.name;
  }

  // Passes the signature check, fails in the loader.
  TemplateImage image;
  image.path = "old.bmp";
  WriteFile(folder_ / "fake.bmp", {'B', 'M', 'x'});
  EXPECT_EQ(TakeInTemplateFile(image, folder_ / "fake.bmp", DecodeImageFile),
            ImageStatus::kInvalidFile);
  EXPECT_TRUE(image.path.empty());
}

}  // namespace
}  // namespace kavelin::image::testing
