#include "image/decoder.hpp"

#include <gtest/gtest.h>

#include <QtGui/QImage>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>

#include "image/intake.hpp"
#include "image_files.hpp"
#include "qt_reference_decoder.hpp"
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

class Decoder : public ::testing::Test {
 protected:
  std::optional<Raster> Decode(const char* name, const Bytes& bytes) {
    WriteFile(folder_ / name, bytes);
    return DecodeImageFile(folder_ / name);
  }
  TempFolder folder_;
};

TEST_F(Decoder, BitmapVariantsDecodeToTheirColours) {
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

TEST_F(Decoder, GifVariants) {
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

TEST_F(Decoder, TheSizeCapIsCheckedOnTheHeader) {
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
  // A small screen with a frame of 65535 x 65535 (found by fuzzing: it once asked for 4 GB).
  GifLayout huge;
  huge.screenWidth = 43, huge.screenHeight = 132, huge.width = huge.height = 0xFFFF;
  huge.globalTable = {kWhite, kBlack};
  huge.compressed = {2, 0x44, 0x01, 0};
  EXPECT_FALSE(Decode("huge-frame.gif", GifFile(huge)));
}

// Run-length bitmaps may end a row or the whole picture early; the pixels they skip
// must read as entry 0 every time, not as whatever memory held before.
TEST_F(Decoder, PixelsARunLengthBitmapSkipsReadAsEntryZero) {
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

TEST_F(Decoder, RefusedFiles) {
  const IndexedImage image = Sample(16);
  Bytes truncated = Bmp(image, BmpKind::k8Bit);
  truncated.resize(30);
  EXPECT_FALSE(Decode("garbage.bmp", {'B', 'M', 1, 2, 3}));
  EXPECT_FALSE(Decode("truncated-header.bmp", truncated));
  EXPECT_FALSE(Decode("garbage.gif", {'G', 'I', 'F', '8', '9', 'a', 0}));
  EXPECT_FALSE(Decode("empty.gif", {}));
  // Formats Qt reads but a template is not; a PNG is one.
  QImage picture(7, 3, QImage::Format_RGB32);
  picture.fill(Qt::red);
  for (const char* format : {"PPM", "XPM", "PNG"}) {
    const auto file = folder_ / (std::string("template.") + format);
    ASSERT_TRUE(picture.save(QString::fromStdString(file.string()), format)) << format;
    EXPECT_EQ(DecodeImageFile(file).has_value(), std::string_view(format) == "PNG") << format;
  }
  EXPECT_FALSE(DecodeImageFile(folder_ / "missing.bmp"));
  EXPECT_FALSE(DecodeImageFile(folder_.Path()));
}

TEST_F(Decoder, TemplatesLoadThroughTheRealDecoder) {
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

// Where Qt refused a sound file or had no rule of its own, the decoder keeps one rule.
TEST_F(Decoder, RulesOfItsOwn) {
  // The 56-byte header (Photoshop's) reads like the 40-byte one it extends.
  BmpLayout l;
  l.width = 5, l.height = 3, l.bits = 8, l.table = {kWhite, Rgb(10, 20, 30)}, l.coloursUsed = 2;
  l.pixels.assign(24, 1);
  const auto v1 = Decode("v1.bmp", BmpFile(l));
  l.headerSize = 56;
  const auto v3 = Decode("v3.bmp", BmpFile(l));
  ASSERT_TRUE(v1 && v3);
  EXPECT_EQ(*v3, *v1);
  EXPECT_EQ(v1->At(4, 2), Rgb(10, 20, 30));

  // An index past the colour table shows the background, at every depth.
  BmpLayout mono;
  mono.width = 8, mono.height = 1, mono.bits = 1, mono.table = {kWhite}, mono.coloursUsed = 1;
  mono.pixels = {0x0F, 0, 0, 0};
  const auto shown = Decode("mono.bmp", BmpFile(mono));
  ASSERT_TRUE(shown);
  EXPECT_EQ(shown->At(0, 0), kWhite);
  EXPECT_EQ(shown->At(7, 0), kBackground);

  // LZW data no encoder writes is refused rather than drawn as noise: a code past the next
  // free entry, and a first code that is not a colour.
  GifLayout g;
  g.screenWidth = g.width = 4, g.screenHeight = g.height = 1;
  g.globalTable = {kWhite, kBlack, kWhite, kBlack};
  g.indices = {1, 1, 1, 1};
  EXPECT_TRUE(Decode("good.gif", GifFile(g)));
  g.compressed = {2, 0xCC, 0x01, 0};  // clear, 1, then 7 while 6 is the next free entry
  EXPECT_FALSE(Decode("past-next.gif", GifFile(g)));
  g.compressed = {1, 0x34, 0};  // clear, then code 6 first
  EXPECT_FALSE(Decode("first-not-colour.gif", GifFile(g)));
  g.compressed.clear();
  g.minCodeSize = 9;  // past what GIF allows
  g.indices = {};
  g.compressed = {1, 0, 0};
  EXPECT_FALSE(Decode("wide-codes.gif", GifFile(g)));
}

// Our decoder against Qt's readers, which decoded every template before it: on files of
// every layout a paint program writes, both must give the same picture, pixel for pixel.
class SameAsQt : public ::testing::Test {
 protected:
  void ExpectSame(const Bytes& bytes, const std::string& what) {
    const auto file = folder_ / "picture";
    WriteFile(file, bytes);
    const auto ours = DecodeImageFile(file);
    const auto qt = DecodeWithQt(file);
    ASSERT_EQ(ours.has_value(), qt.has_value()) << what;
    if (ours) {
      ASSERT_EQ(ours->Width(), qt->Width()) << what;
      ASSERT_EQ(ours->Height(), qt->Height()) << what;
      for (int y = 0; y < ours->Height(); ++y) {
        for (int x = 0; x < ours->Width(); ++x)
          ASSERT_EQ(ours->At(x, y), qt->At(x, y)) << what << " at " << x << "," << y;
      }
    }
  }
  int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
  bool Coin(int percent = 50) { return Pick(1, 100) <= percent; }
  std::vector<Colour> Table(std::size_t size) {
    std::vector<Colour> table(size);
    for (auto& c : table)
      c = static_cast<Colour>(Pick(0, 0xFFFFFF));
    return table;
  }
  // Indices in runs, so that the LZW table builds long strings as well as short ones.
  std::vector<std::uint8_t> Indices(std::size_t count, int below) {
    std::vector<std::uint8_t> out;
    while (out.size() < count) {
      const auto index = static_cast<std::uint8_t>(Pick(0, below - 1));
      out.insert(out.end(), std::min<std::size_t>(count - out.size(), Pick(1, 12)), index);
    }
    return out;
  }

  TempFolder folder_;
  std::mt19937 random_{20261208};
};

TEST_F(SameAsQt, GifLayouts) {
  for (int round = 0; round < 400; ++round) {
    GifLayout l;
    l.screenWidth = Pick(1, 40), l.screenHeight = Pick(1, 40);
    const int bits = Pick(1, 8);
    const bool local = Coin(25);
    if (!local || Coin()) l.globalTable = Table(std::size_t{1} << bits);
    if (local) l.localTable = Table(std::size_t{1} << bits);
    l.backgroundIndex = Pick(0, 255);
    if (Coin(40)) l.transparentIndex = Pick(0, (1 << bits) - 1);
    l.width = l.screenWidth, l.height = l.screenHeight;
    // A frame smaller than the screen; with its own table only when nothing is painted around it.
    if (Coin(30) && (!local || l.transparentIndex >= 0 || l.globalTable.empty())) {
      l.left = Pick(0, l.screenWidth - 1), l.top = Pick(0, l.screenHeight - 1);
      l.width = Pick(1, l.screenWidth - l.left), l.height = Pick(1, l.screenHeight - l.top);
    }
    if (Coin(10)) l.screenWidth = 0, l.screenHeight = 0;  // sized by the frame
    l.interlaced = l.height >= 5 && Coin(30);
    // Now and then codes wider than the table, so that indices past it occur.
    l.minCodeSize = Coin(15) ? 8 : std::max(2, bits);
    l.indices =
        Indices(static_cast<std::size_t>(l.width * l.height), std::min(256, 1 << l.minCodeSize));
    l.commentFirst = Coin(20), l.secondFrame = Coin(20);
    ExpectSame(GifFile(l), "gif round " + std::to_string(round));
  }
}

TEST_F(SameAsQt, GifCodeTableFullWithoutAClear) {
  // Literal codes only, never a clear: the table fills at 4096 entries and the codes stay
  // 12 bits wide, which encoders that defer the clear rely on.
  const int width = 100, height = 60, minCodeSize = 8;
  Bytes packed;
  std::uint32_t buffer = 0;
  int filled = 0, codeSize = minCodeSize + 1, next = 258, limit = 512;
  const auto put = [&](unsigned code) {
    buffer |= code << filled;
    for (filled += codeSize; filled >= 8; filled -= 8, buffer >>= 8)
      packed.push_back(static_cast<std::uint8_t>(buffer & 0xFF));
  };
  const std::vector<std::uint8_t> indices = Indices(width * height, 256);
  put(256);
  for (std::size_t i = 0; i < indices.size(); ++i) {
    put(indices[i]);
    if (i > 0 && next < 4096 && ++next >= limit && limit < 4096) limit *= 2, ++codeSize;
  }
  put(257);
  if (filled > 0) packed.push_back(static_cast<std::uint8_t>(buffer & 0xFF));
  GifLayout l;
  l.screenWidth = l.width = width, l.screenHeight = l.height = height;
  l.globalTable = Table(256);
  l.minCodeSize = minCodeSize;
  for (std::size_t at = 0; at < packed.size(); at += 255) {
    const std::size_t n = std::min<std::size_t>(255, packed.size() - at);
    l.compressed.push_back(static_cast<std::uint8_t>(n));
    l.compressed.insert(l.compressed.end(), packed.begin() + static_cast<std::ptrdiff_t>(at),
                        packed.begin() + static_cast<std::ptrdiff_t>(at + n));
  }
  l.compressed.push_back(0);
  const Bytes gif = GifFile(l);
  ExpectSame(gif, "deferred clear");
}

// Qt keeps what a cut frame drew; we refuse it (a half-drawn template is no template).
// Only the trailer missing is no cut of the frame, and reads as Qt reads it.
TEST_F(SameAsQt, GifCutShort) {
  GifLayout l;
  l.screenWidth = l.width = 30, l.screenHeight = l.height = 20;
  l.globalTable = Table(16);
  l.minCodeSize = 4;
  l.indices = Indices(600, 16);
  const Bytes whole = GifFile(l);
  const auto cut = [&whole](std::size_t size) {
    return Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size));
  };
  ExpectSame(cut(whole.size() - 1), "without the trailer");
  for (const std::size_t size :
       {whole.size() - 2, whole.size() - 3, whole.size() / 2, std::size_t{13 + 48 + 8 + 10 + 3}}) {
    WriteFile(folder_ / "cut.gif", cut(size));
    EXPECT_FALSE(DecodeImageFile(folder_ / "cut.gif")) << "cut at " << size;
  }
}

TEST_F(SameAsQt, ExampleGifs) {
  int seen = 0;
  for (const auto& entry : std::filesystem::directory_iterator(KAVELIN_EXAMPLES)) {
    if (entry.path().extension() != ".gif") continue;
    std::ifstream in(entry.path(), std::ios::binary);
    ExpectSame(Bytes(std::istreambuf_iterator<char>(in), {}), entry.path().filename().string());
    ++seen;
  }
  EXPECT_GT(seen, 0);
}

// Run-length data as paint programs write it: runs and literal stretches that stay inside
// their row, ends of rows, jumps, and an end of the bitmap.
Bytes RunLengthData(std::mt19937& random, int width, int height, bool four) {
  const auto pick = [&](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
  };
  Bytes out;
  int x = 0, y = 0;
  while (y < height) {
    const int left = width - x, choice = pick(0, 9);
    if (left == 0 || choice == 0) {
      out.insert(out.end(), {0, 0});
      x = 0, ++y;
    } else if (choice == 1 && y + 1 < height) {
      const int dx = pick(0, left - 1), dy = pick(0, std::min(3, height - 1 - y));
      out.insert(out.end(), {0, 2, static_cast<std::uint8_t>(dx), static_cast<std::uint8_t>(dy)});
      x += dx, y += dy;
    } else if (choice < 6 || left < 3) {
      const int n = pick(1, std::min(left, 255));
      out.insert(out.end(),
                 {static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(pick(0, 255))});
      x += n;
    } else {
      const int n = pick(3, std::min(left, 255));
      out.insert(out.end(), {0, static_cast<std::uint8_t>(n)});
      const int bytes = four ? (n + 1) / 2 : n;
      for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<std::uint8_t>(pick(0, 255)));
      if (bytes % 2 != 0) out.push_back(0);
      x += n;
    }
    if (pick(0, 60) == 0) break;  // the rest left out: those pixels are entry 0
  }
  out.insert(out.end(), {0, 1});
  return out;
}

TEST_F(SameAsQt, BitmapLayouts) {
  const struct {
    int bits;
    std::uint32_t compression;
  } kinds[] = {{1, 0}, {4, 0}, {8, 0}, {4, 2}, {8, 1}, {16, 0}, {24, 0}, {32, 0}, {16, 3}, {32, 3}};
  // Qt never read the 56-byte header (a test below covers it on its own).
  const std::uint32_t headerSizes[] = {12, 40, 108, 124};
  const std::uint32_t fields[][4] = {
      {0xF800, 0x07E0, 0x001F, 0}, {0x7C00, 0x03E0, 0x001F, 0x8000},
      {0xFF0000, 0xFF00, 0xFF, 0}, {0xFF0000, 0xFF00, 0xFF, 0xFF000000},
      {0xFF, 0xFF00, 0xFF0000, 0}, {0x0F00, 0x00F0, 0x000F, 0xF000}};
  for (int round = 0; round < 400; ++round) {
    const auto& kind = kinds[Pick(0, std::size(kinds) - 1)];
    BmpLayout l;
    l.bits = kind.bits, l.compression = kind.compression;
    l.headerSize = headerSizes[Pick(0, 3)];
    if (l.headerSize == 12 && (l.compression != 0 || l.bits > 24)) l.headerSize = 40;
    l.width = Pick(1, 40);
    const int height = Pick(1, 30);
    l.height = l.compression == 0 && l.headerSize != 12 && Coin(30) ? -height : height;
    if (l.bits <= 8) {
      const int full = 1 << l.bits;
      // The OS/2 header has no count: its table is always full. One entry for two-colour
      // pixels is left out: Qt showed the missing entry white, we show the background, as
      // for every other index past the table.
      const int used = Coin(30) && l.headerSize != 12 ? Pick(2, full) : full;
      l.table = Table(static_cast<std::size_t>(used));
      l.coloursUsed = used == full && Coin() ? 0 : static_cast<std::uint32_t>(used);
    }
    if (l.compression == 3) {
      const auto& f = fields[Pick(0, std::size(fields) - 1)];
      const bool wide = f[0] > 0xFFFF || f[2] > 0xFFFF;
      if (wide != (l.bits == 32)) {
        --round;
        continue;
      }
      std::copy(std::begin(f), std::end(f), l.masks);
      if (l.headerSize < 56) l.masks[3] = 0;
    }
    if (l.compression == 1 || l.compression == 2) {
      l.pixels = RunLengthData(random_, l.width, height, l.compression == 2);
    } else {
      const std::size_t stride = (static_cast<std::size_t>(l.width) * l.bits + 31) / 32 * 4;
      l.pixels.resize(stride * height);
      for (auto& b : l.pixels)
        b = static_cast<std::uint8_t>(Pick(0, 255));
    }
    ExpectSame(BmpFile(l), "bmp round " + std::to_string(round) + ": " + std::to_string(l.bits) +
                               " bits, compression " + std::to_string(l.compression) + ", header " +
                               std::to_string(l.headerSize));
  }
}

}  // namespace
}  // namespace kavelin::image::testing
