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
