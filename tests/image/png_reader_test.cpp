// The PNG reader: every colour type and bit depth, interlaced or not, transparency by alpha
// and by tRNS, 16-bit samples, colour chunks, damaged and hostile files; the intake's
// refusal of a partly transparent cell pixel; and, where Qt is there, the same pictures as
// Qt's reader gives.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "image/decoder.hpp"
#include "image/encoder.hpp"
#include "image/intake.hpp"
#include "png_files.hpp"
#include "support/trace.hpp"
#include "template_fixture.hpp"
#ifdef KAVELIN_QT_REFERENCE
#include "qt_reference_decoder.hpp"
#endif

namespace kavelin::image::testing {
namespace {

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
constexpr bool kSanitized = __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) ||
                            __has_feature(memory_sanitizer);
#else
constexpr bool kSanitized = false;
#endif

// What a sample of `depth` bits reads as at 8: its bits repeated, or its high byte.
std::uint8_t Eight(unsigned v, int depth) {
  return static_cast<std::uint8_t>(depth == 16 ? v >> 8 : v * 255 / ((1u << depth) - 1));
}

// A zlib stream of one fixed-Huffman block: a zero, then `matches` copies of the longest
// match (258 bytes, distance 1), so that a few hundred kilobytes inflate to many megabytes.
// Made by hand so that no compressor is needed, and the reader meets a Huffman block in
// every build.
Bytes ZeroBomb(std::size_t matches) {
  Bytes out = {0x78, 0x9C};
  std::uint32_t pending = 0;
  int count = 0;
  const auto put = [&](std::uint32_t bits, int n) {  // stream bits go least significant first
    pending |= bits << count;
    for (count += n; count >= 8; count -= 8, pending >>= 8)
      out.push_back(static_cast<std::uint8_t>(pending & 0xFF));
  };
  const auto code = [&](std::uint32_t c, int n) {  // Huffman codes most significant first
    for (int i = n - 1; i >= 0; --i)
      put((c >> i) & 1, 1);
  };
  put(1, 1);      // the last block
  put(1, 2);      // fixed codes
  code(0x30, 8);  // literal 0
  for (std::size_t i = 0; i < matches; ++i) {
    code(0xC5, 8);  // length 258: symbol 285
    code(0, 5);     // distance 1
  }
  code(0, 7);  // end of block
  if (count > 0) put(0, 8 - count);
  // The Adler-32 of n zeros: a stays 1, b adds 1 for each byte.
  const std::uint32_t adler = static_cast<std::uint32_t>((1 + 258 * matches) % 65521) << 16 | 1;
  for (int i = 3; i >= 0; --i)
    out.push_back(static_cast<std::uint8_t>(adler >> (8 * i)));
  return out;
}

// The picture decoder.hpp's rules make of a layout, worked out apart from the reader.
Raster Expected(const PngLayout& l) {
  Raster r(l.width, l.height);
  const int channels = PngChannels(l.colourType);
  const auto key = [&l](int c) {
    return static_cast<unsigned>(l.transparency[2 * c] << 8 | l.transparency[2 * c + 1]);
  };
  for (int y = 0; y < l.height; ++y) {
    for (int x = 0; x < l.width; ++x) {
      const std::uint16_t* s = &l.samples[static_cast<std::size_t>((y * l.width + x) * channels)];
      const int d = l.bitDepth;
      Colour c = 0;
      unsigned alpha = 255;
      bool keyed = false;
      switch (l.colourType) {
        case kPngGrey:
          c = Rgb(Eight(s[0], d), Eight(s[0], d), Eight(s[0], d));
          keyed = l.hasTransparency && s[0] == key(0);
          break;
        case kPngTruecolour:
          c = Rgb(Eight(s[0], d), Eight(s[1], d), Eight(s[2], d));
          keyed = l.hasTransparency && s[0] == key(0) && s[1] == key(1) && s[2] == key(2);
          break;
        case kPngIndexed:
          c = l.palette[s[0]];
          if (l.hasTransparency && s[0] < l.transparency.size()) alpha = l.transparency[s[0]];
          break;
        case kPngGreyAlpha:
          c = Rgb(Eight(s[0], d), Eight(s[0], d), Eight(s[0], d));
          alpha = Eight(s[1], d);
          break;
        default:
          c = Rgb(Eight(s[0], d), Eight(s[1], d), Eight(s[2], d));
          alpha = Eight(s[3], d);
          break;
      }
      if (keyed || alpha == 0) continue;  // the background already
      r.Set(x, y, c);
      if (alpha != 255) r.MarkPartlyTransparent(x, y);
    }
  }
  return r;
}

struct Kind {
  int colourType, bitDepth;
};
constexpr Kind kEveryKind[] = {
    {kPngGrey, 1},
    {kPngGrey, 2},
    {kPngGrey, 4},
    {kPngGrey, 8},
    {kPngGrey, 16},
    {kPngTruecolour, 8},
    {kPngTruecolour, 16},
    {kPngIndexed, 1},
    {kPngIndexed, 2},
    {kPngIndexed, 4},
    {kPngIndexed, 8},
    {kPngGreyAlpha, 8},
    {kPngGreyAlpha, 16},
    {kPngTruecolourAlpha, 8},
    {kPngTruecolourAlpha, 16},
};

// Random pictures of one kind: alphas mostly none or full, some between; with `keyed`, a
// tRNS that some pixels match (palette alphas for an indexed picture).
class Pictures {
 public:
  PngLayout Make(Kind kind, int width, int height, bool interlaced, bool keyed) {
    PngLayout l;
    l.width = width, l.height = height, l.colourType = kind.colourType, l.bitDepth = kind.bitDepth;
    l.interlaced = interlaced;
    const unsigned top = (1u << kind.bitDepth) - 1;
    const int channels = PngChannels(kind.colourType);
    const bool alpha = kind.colourType == kPngGreyAlpha || kind.colourType == kPngTruecolourAlpha;
    if (kind.colourType == kPngIndexed) {
      const std::size_t entries = std::min<std::size_t>(top + 1, Pick(1, 40));
      for (std::size_t i = 0; i < entries; ++i)
        l.palette.push_back(static_cast<Colour>(Pick(0, 0xFFFFFF)));
    }
    for (int i = 0; i < width * height; ++i) {
      for (int c = 0; c < channels; ++c) {
        unsigned v = static_cast<unsigned>(Pick(0, static_cast<int>(top)));
        if (kind.colourType == kPngIndexed) v %= static_cast<unsigned>(l.palette.size());
        if (alpha && c == channels - 1) {
          const int roll = Pick(0, 9);
          v = roll < 4 ? top : roll < 7 ? 0 : v;
        }
        l.samples.push_back(static_cast<std::uint16_t>(v));
      }
    }
    if (keyed && kind.colourType == kPngIndexed) {
      l.hasTransparency = true;
      for (std::size_t i = Pick(0, static_cast<int>(l.palette.size())); i > 0; --i)
        l.transparency.push_back(
            static_cast<std::uint8_t>(Pick(0, 3) == 0 ? Pick(0, 255) : Pick(0, 1) * 255));
    } else if (keyed && !alpha) {
      // The key is some pixel's own value, so that it matches.
      l.hasTransparency = true;
      const std::size_t pixel = static_cast<std::size_t>(Pick(0, width * height - 1));
      for (int c = 0; c < channels; ++c) {
        const Bytes v = Big16(
            l.samples[pixel * static_cast<std::size_t>(channels) + static_cast<std::size_t>(c)]);
        l.transparency.insert(l.transparency.end(), v.begin(), v.end());
      }
    }
    return l;
  }
  int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

 private:
  std::mt19937 random_{20260414};
};

class PngReader : public ::testing::Test {
 protected:
  std::optional<Raster> Decode(const Bytes& bytes) {
    WriteFile(folder_ / "picture.png", bytes);
    return DecodeImageFile(folder_ / "picture.png");
  }
  TempFolder folder_;
  Pictures pictures_;
};

TEST_F(PngReader, EveryColourTypeAndDepthReadsToItsRules) {
  // Odd sizes end rows inside a byte and leave some interlace passes empty.
  const struct { int width, height; } sizes[] = {{13, 11}, {1, 1}, {3, 9}, {10, 2}};
  for (const Kind kind : kEveryKind) {
    for (const auto size : sizes) {
      for (const bool interlaced : {false, true}) {
        for (const bool keyed : {false, true}) {
          const PngLayout l = pictures_.Make(kind, size.width, size.height, interlaced, keyed);
          const std::string what = "type " + std::to_string(kind.colourType) + ", " +
                                   std::to_string(kind.bitDepth) + " bits, " +
                                   std::to_string(size.width) + "x" + std::to_string(size.height) +
                                   (interlaced ? ", interlaced" : "") + (keyed ? ", tRNS" : "");
          const auto decoded = Decode(PngFile(l));
          ASSERT_TRUE(decoded) << what;
          EXPECT_EQ(*decoded, Expected(l)) << what;
        }
      }
    }
  }
}

TEST_F(PngReader, EveryFilterAndAnyChunkingOfTheDataReadAlike) {
  PngLayout l = pictures_.Make({kPngTruecolourAlpha, 8}, 17, 9, false, false);
  const Raster expected = Expected(l);
  for (int filter = -1; filter <= 4; ++filter) {
    for (const std::size_t chunk : {std::size_t{0}, std::size_t{1}, std::size_t{7}}) {
      l.filter = filter, l.dataChunkSize = chunk;
      const auto decoded = Decode(PngFile(l));
      ASSERT_TRUE(decoded) << "filter " << filter << ", chunks of " << chunk;
      EXPECT_EQ(*decoded, expected) << "filter " << filter << ", chunks of " << chunk;
    }
  }
}

TEST_F(PngReader, SixteenBitSamplesAreCutToTheirHighByteAfterTheKeyIsMatched) {
  // Truecolour and alpha: the low byte never counts, for the colour or for the alpha.
  PngLayout rgba;
  rgba.width = 4, rgba.height = 1, rgba.colourType = kPngTruecolourAlpha, rgba.bitDepth = 16;
  rgba.samples = {0x12FF, 0x3400, 0x56AB, 0xFFFF,   // opaque
                  0x9999, 0x8888, 0x7777, 0xFF00,   // high byte 255: opaque
                  0x1111, 0x2222, 0x3333, 0x00FF,   // high byte 0: fully transparent
                  0xA0A0, 0xB0B0, 0xC0C0, 0x8000};  // partly transparent
  const auto decoded = Decode(PngFile(rgba));
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->At(0, 0), Rgb(0x12, 0x34, 0x56));
  EXPECT_EQ(decoded->At(1, 0), Rgb(0x99, 0x88, 0x77));
  EXPECT_FALSE(decoded->PartlyTransparent(1, 0));
  EXPECT_EQ(decoded->At(2, 0), kBackground);
  EXPECT_FALSE(decoded->PartlyTransparent(2, 0));
  EXPECT_EQ(decoded->At(3, 0), Rgb(0xA0, 0xB0, 0xC0));
  EXPECT_TRUE(decoded->PartlyTransparent(3, 0));

  // A 16-bit tRNS key matches the whole sample, not only its high byte.
  PngLayout grey;
  grey.width = 3, grey.height = 1, grey.colourType = kPngGrey, grey.bitDepth = 16;
  grey.samples = {0x1234, 0x12FF, 0x1200};
  grey.hasTransparency = true, grey.transparency = Big16(0x1234);
  const auto keyed = Decode(PngFile(grey));
  ASSERT_TRUE(keyed);
  EXPECT_EQ(keyed->At(0, 0), kBackground);
  EXPECT_EQ(keyed->At(1, 0), Rgb(0x12, 0x12, 0x12));
  EXPECT_EQ(keyed->At(2, 0), Rgb(0x12, 0x12, 0x12));

  // An 8-bit picture's key past 255 matches nothing (the low byte alone would match 0x00).
  PngLayout rgb;
  rgb.width = 2, rgb.height = 1, rgb.colourType = kPngTruecolour, rgb.bitDepth = 8;
  rgb.samples = {0, 0, 0, 5, 6, 7};
  rgb.hasTransparency = true;
  for (const unsigned v : {0x100u, 0x100u, 0x100u}) {
    const Bytes b = Big16(v);
    rgb.transparency.insert(rgb.transparency.end(), b.begin(), b.end());
  }
  const auto wide = Decode(PngFile(rgb));
  ASSERT_TRUE(wide);
  EXPECT_EQ(wide->At(0, 0), Rgb(0, 0, 0));
}

TEST_F(PngReader, ColourChunksChangeNothing) {
  const PngLayout plain = pictures_.Make({kPngTruecolour, 8}, 9, 5, false, false);
  const Bytes profile = Compressed(Bytes(200, 0x5A));
  Bytes iccp = {'s', 'R', 'G', 'B', 0, 0};  // name, its end, compression method 0
  iccp.insert(iccp.end(), profile.begin(), profile.end());
  Bytes chrm;
  for (int i = 0; i < 8; ++i) {
    const Bytes v = Big16(0);
    chrm.insert(chrm.end(), {0, 0});
    chrm.insert(chrm.end(), v.begin(), v.end());
  }
  const std::vector<std::pair<std::string, Bytes>> chunkSets[] = {
      {{"gAMA", {0, 0, 0x27, 0x10}}},  // a gamma of 0.1, far from any screen's
      {{"sRGB", {3}}},
      {{"cHRM", chrm}},
      {{"iCCP", iccp}},
      {{"gAMA", {0, 0, 0x27, 0x10}},
       {"cHRM", chrm},
       {"tEXt", {'a', 0, 'b'}},
       {"pHYs", Bytes(9, 1)}},
  };
  const Raster expected = Expected(plain);
  for (const auto& chunks : chunkSets) {
    PngLayout l = plain;
    l.extraChunks = chunks;
    const auto decoded = Decode(PngFile(l));
    ASSERT_TRUE(decoded) << chunks.front().first;
    EXPECT_EQ(*decoded, expected) << chunks.front().first;
  }
}

// Bytes of a small PNG with each chunk found, for damaging one of them.
struct ChunkAt {
  std::string type;
  std::size_t at, length;  // where its length field starts; its data's length
};
std::vector<ChunkAt> ChunksOf(const Bytes& png) {
  std::vector<ChunkAt> out;
  for (std::size_t at = 8; at + 12 <= png.size();) {
    const std::size_t length = static_cast<std::size_t>(png[at]) << 24 | png[at + 1] << 16 |
                               png[at + 2] << 8 | png[at + 3];
    out.push_back({std::string(png.begin() + static_cast<std::ptrdiff_t>(at + 4),
                               png.begin() + static_cast<std::ptrdiff_t>(at + 8)),
                   at, length});
    at += length + 12;
  }
  return out;
}

Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts)
    out.insert(out.end(), p.begin(), p.end());
  return out;
}

TEST_F(PngReader, DamagedFilesAreRefused) {
  PngLayout indexed;
  indexed.width = 5, indexed.height = 3, indexed.colourType = kPngIndexed, indexed.bitDepth = 8;
  indexed.palette = {kWhite, kBlack, kGap};
  indexed.samples.assign(15, 1);
  const Bytes good = PngFile(indexed);
  ASSERT_TRUE(Decode(good));
  const Bytes headerData = PngHeaderData(indexed), imageData = PngImageData(indexed);
  const Bytes header = PngChunk("IHDR", headerData);
  const Bytes palette = PngChunk("PLTE", {255, 255, 255, 0, 0, 0, 9, 9, 9});
  const Bytes data = PngChunk("IDAT", imageData);
  const Bytes end = PngChunk("IEND", {});
  const auto withHeader = [&](int at, std::uint8_t value) {
    Bytes h = PngHeaderData(indexed);
    h[static_cast<std::size_t>(at)] = value;
    return Join({PngSignature(), PngChunk("IHDR", h), palette, data, end});
  };
  PngLayout outOfRange = indexed;
  outOfRange.samples[7] = 3;  // the palette has three entries
  // A palette colour changed under its CRC, and a CRC changed: both read as pictures but
  // for the check.
  const ChunkAt plte = ChunksOf(good)[1];
  Bytes badColour = good, badCrc = good;
  badColour[plte.at + 8] ^= 1;
  badCrc[plte.at + 8 + plte.length] ^= 0x80;
  const std::size_t rows = 3 * (5 + 1);

  const struct {
    const char* what;
    Bytes bytes;
  } refused[] = {
      {"signature only", PngSignature()},
      {"a damaged signature",
       Join({Bytes{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, 0}, header, palette, data, end})},
      {"no header first", Join({PngSignature(), palette, header, data, end})},
      {"two headers", Join({PngSignature(), header, header, palette, data, end})},
      {"a header of 12 bytes",
       Join({PngSignature(), PngChunk("IHDR", Bytes(headerData.begin(), headerData.end() - 1)),
             palette, data, end})},
      {"width 0", withHeader(3, 0)},
      {"bit depth 3", withHeader(8, 3)},
      {"indexed at 16 bits", withHeader(8, 16)},
      {"colour type 1", withHeader(9, 1)},
      {"colour type 7", withHeader(9, 7)},
      {"compression method 1", withHeader(10, 1)},
      {"filter method 1", withHeader(11, 1)},
      {"interlace method 2", withHeader(12, 2)},
      {"a colour its CRC does not match", badColour},
      {"a CRC that does not match", badCrc},
      // Skipped for an ancillary chunk, were it one.
      {"a chunk type that is not letters",
       Join({PngSignature(), header, PngChunk("pr1v", {1}), palette, data, end})},
      {"no palette", Join({PngSignature(), header, data, end})},
      {"the palette after the data", Join({PngSignature(), header, data, palette, end})},
      {"two palettes", Join({PngSignature(), header, palette, palette, data, end})},
      {"a palette of 8 bytes",
       Join({PngSignature(), header, PngChunk("PLTE", Bytes(8, 1)), data, end})},
      {"an index past the palette", PngFile(outOfRange)},
      {"tRNS longer than the palette",
       Join({PngSignature(), header, palette, PngChunk("tRNS", {1, 2, 3, 4}), data, end})},
      {"tRNS before the palette",
       Join({PngSignature(), header, PngChunk("tRNS", {1}), palette, data, end})},
      {"tRNS after the data",
       Join({PngSignature(), header, palette, data, PngChunk("tRNS", {1}), end})},
      {"data split by another chunk",
       Join({PngSignature(), header, palette,
             PngChunk("IDAT", Bytes(imageData.begin(), imageData.begin() + 4)),
             PngChunk("tEXt", {'a', 0}),
             PngChunk("IDAT", Bytes(imageData.begin() + 4, imageData.end())), end})},
      {"no data", Join({PngSignature(), header, palette, end})},
      {"an unknown critical chunk",
       Join({PngSignature(), header, palette, PngChunk("QUUX", {1}), data, end})},
      {"no IEND", Join({PngSignature(), header, palette, data})},
      {"a length past 2^31", Join({PngSignature(), header, palette, data,
                                   Bytes{0x80, 0, 0, 0, 'I', 'E', 'N', 'D', 0, 0, 0, 0}})},
      {"rows short of the picture", Join({PngSignature(), header, palette,
                                          PngChunk("IDAT", Compressed(Bytes(rows - 1, 0))), end})},
      {"a filter type past 4", Join({PngSignature(), header, palette,
                                     PngChunk("IDAT", Compressed(Bytes{5, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                                                       0, 0, 0, 0, 0, 0, 0, 0})),
                                     end})},
      {"data that is no zlib stream",
       Join({PngSignature(), header, palette, PngChunk("IDAT", Bytes(40, 0xFF)), end})},
  };
  for (const auto& c : refused)
    EXPECT_FALSE(DecodePng(c.bytes)) << c.what;

  // Cut anywhere, up to IEND's last byte, the file is refused; whatever follows IEND is not
  // read.
  for (std::size_t size = 0; size < good.size(); ++size)
    EXPECT_FALSE(DecodePng(Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(size))))
        << "cut at " << size;
  EXPECT_TRUE(DecodePng(Join({good, Bytes{'j', 'u', 'n', 'k'}})));
  // What PNG lets a reader pass over: unknown ancillary chunks, a truecolour picture's
  // suggested palette, tRNS in a picture with an alpha channel.
  PngLayout rgba = pictures_.Make({kPngTruecolourAlpha, 8}, 3, 3, false, false);
  rgba.extraChunks = {{"prVt", {1, 2, 3}}};
  rgba.palette = {kWhite};
  rgba.hasTransparency = true, rgba.transparency = {0, 1};
  const auto passed = DecodePng(PngFile(rgba));
  ASSERT_TRUE(passed);
  EXPECT_EQ(*passed, Expected(rgba));
}

// The header's size is checked before anything is allocated for it, and image data cannot
// make the reader allocate more than the picture needs.
TEST_F(PngReader, HostileSizesAreRefusedWithoutTheirMemory) {
  KAVELIN_SKIP_IN_WEB_BUILD("child processes");
  PngLayout side;
  side.width = kMaxImageSide, side.height = 1, side.colourType = kPngGrey, side.bitDepth = 8;
  side.samples.assign(kMaxImageSide, 7);
  EXPECT_TRUE(DecodePng(PngFile(side)));
  const auto withSize = [](std::uint32_t width, std::uint32_t height, int type, int depth) {
    PngLayout l;
    l.width = 1, l.height = 1, l.colourType = type, l.bitDepth = depth;
    l.samples.assign(static_cast<std::size_t>(PngChannels(type)), 0);
    Bytes h = PngHeaderData(l);
    for (int i = 0; i < 4; ++i) {
      h[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(width >> (24 - 8 * i));
      h[static_cast<std::size_t>(4 + i)] = static_cast<std::uint8_t>(height >> (24 - 8 * i));
    }
    return Join({PngSignature(), PngChunk("IHDR", h), PngChunk("IDAT", PngImageData(l)),
                 PngChunk("IEND", {})});
  };
  // A bomb: a one-pixel picture whose data inflates to 64 MiB.
  const Bytes bomb = ZeroBomb(260112);
  PngLayout one;
  one.width = one.height = 1, one.colourType = kPngGrey, one.bitDepth = 8;
  const Bytes bombFile = Join({PngSignature(), PngChunk("IHDR", PngHeaderData(one)),
                               PngChunk("IDAT", bomb), PngChunk("IEND", {})});
  // Its stream is sound, so it is refused for its size: three matches inflate to exactly
  // one row of 774 black pixels after its filter byte.
  PngLayout row;
  row.width = 774, row.height = 1, row.colourType = kPngGrey, row.bitDepth = 8;
  row.samples.assign(774, 0);
  EXPECT_EQ(DecodePng(Join({PngSignature(), PngChunk("IHDR", PngHeaderData(row)),
                            PngChunk("IDAT", ZeroBomb(3)), PngChunk("IEND", {})})),
            Expected(row));

  const struct {
    const char* what;
    Bytes bytes;
  } hostile[] = {
      {"one pixel wider than the cap", withSize(kMaxImageSide + 1, 1, kPngGrey, 8)},
      {"one pixel taller than the cap", withSize(1, kMaxImageSide + 1, kPngGrey, 8)},
      {"2^31 - 1 wide", withSize(0x7FFFFFFF, 1, kPngGrey, 8)},
      {"2^32 - 1 tall", withSize(1, 0xFFFFFFFF, kPngGrey, 8)},
      // Inside the cap, but 128 MiB of samples from a few bytes of data.
      {"the largest picture, from a few bytes",
       withSize(kMaxImageSide, kMaxImageSide, kPngTruecolourAlpha, 16)},
      {"data that inflates past the picture", bombFile},
  };
  for (const auto& c : hostile) {
    SCOPED_TRACE(c.what);
    EXPECT_FALSE(DecodePng(c.bytes));
    // The sanitizers' own mappings do not fit under an address-space limit.
    if (kSanitized) continue;
    // Again in a child whose address space has 48 MiB to spare: running out would throw
    // std::bad_alloc rather than refuse.
    std::ifstream statm("/proc/self/statm");
    std::size_t pages = 0;
    statm >> pages;
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      const rlim_t limit = pages * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + (rlim_t{48} << 20);
      const rlimit rl{limit, limit};
      setrlimit(RLIMIT_AS, &rl);
      try {
        _exit(DecodePng(c.bytes) ? 1 : 0);
      } catch (const std::bad_alloc&) {
        _exit(2);
      }
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: decoded; 2: ran out of memory";
  }
}

// PNG is recognised wherever GIF and BMP are: by content, whatever the name.
TEST_F(PngReader, TheSignatureDecidesNotTheName) {
  const Raster raster = Margined(kWhite, KnownColourPaints());
  const Bytes png = *EncodePng(raster);
  for (const char* name : {"template.png", "template.gif", "template", "テンプレ.PNG"}) {
    WriteFile(folder_ / name, png);
    EXPECT_EQ(CheckImageSignature(folder_ / name), ImageStatus::kOk) << name;
    const auto decoded = DecodeImageFile(folder_ / name);
    ASSERT_TRUE(decoded) << name;
    EXPECT_EQ(*decoded, raster) << name;
  }
  EXPECT_EQ(DecodeImage(png), raster);
  // The other readers refuse a PNG, and the PNG reader the others.
  EXPECT_FALSE(DecodeGif(png));
  EXPECT_FALSE(DecodeBmp(png));
  EXPECT_FALSE(DecodePng(*EncodeGif(raster)));
  EXPECT_FALSE(DecodePng(*EncodeBmp(raster)));
}

// A cell pixel must be one colour: partly transparent, it refuses the picture, and says where.
TEST_F(PngReader, APartlyTransparentCellPixelRefusesTheTemplate) {
  // The known template as truecolour and alpha, every pixel opaque but the ones painted.
  const auto png = [](const Raster& picture, const std::vector<std::pair<Point, int>>& alphas) {
    PngLayout l;
    l.width = picture.Width(), l.height = picture.Height(), l.colourType = kPngTruecolourAlpha;
    for (int y = 0; y < l.height; ++y) {
      for (int x = 0; x < l.width; ++x) {
        const Colour c = picture.At(x, y);
        l.samples.insert(l.samples.end(), {Red(c), Green(c), Blue(c), 255});
      }
    }
    for (const auto& [at, alpha] : alphas)
      l.samples[static_cast<std::size_t>((at.y * l.width + at.x) * 4 + 3)] =
          static_cast<std::uint16_t>(alpha);
    return PngFile(l);
  };
  const Raster margined = Margined(kWhite, KnownColourPaints());
  const Raster bare = WithoutMargin(margined);
  const struct {
    const char* what;
    const Raster& picture;
    std::vector<std::pair<Point, int>> alphas;
    ImageStatus status;
    std::optional<PartlyTransparentPixel> reported;
  } cases[] = {
      {"in the first cell",
       margined,
       {{{5, 7}, 128}},
       ImageStatus::kInvalidFile,
       PartlyTransparentPixel{{5, 7}, 1}},
      {"the last cell's last pixel",
       margined,
       {{{82, 115}, 1}},
       ImageStatus::kInvalidFile,
       PartlyTransparentPixel{{82, 115}, 23}},
      {"the first in scan order is named",
       margined,
       {{{30, 50}, 254}, {{160, 20}, 9}},
       ImageStatus::kInvalidFile,
       PartlyTransparentPixel{{160, 20}, 7}},
      {"without the margin, where the cells are",
       bare,
       {{{0, 0}, 100}},
       ImageStatus::kInvalidFile,
       PartlyTransparentPixel{{0, 0}, 1}},
      {"in a gap between cells",
       margined,
       {{{25, 5}, 128}, {{0, 0}, 200}, {{170, 130}, 50}},
       ImageStatus::kOk,
       std::nullopt},
      {"fully transparent in a cell", margined, {{{5, 7}, 0}}, ImageStatus::kOk, std::nullopt},
      {"without the margin, its gap column", bare, {{{24, 3}, 77}}, ImageStatus::kOk, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    WriteFile(folder_ / "template.png", png(c.picture, c.alphas));
    TemplateImage image;
    WriteFile(folder_ / "previous.gif", *EncodeGif(margined));
    ASSERT_EQ(TakeInTemplateFile(image, folder_ / "previous.gif", DecodeImageFile),
              ImageStatus::kOk);
    const TemplateImage before = image;
    EXPECT_EQ(TakeInTemplateFile(image, folder_ / "template.png", DecodeImageFile), c.status);
    EXPECT_EQ(image.partlyTransparentPixel, c.reported);
    if (c.status == ImageStatus::kOk) {
      EXPECT_EQ(image.path, folder_ / "template.png");
      continue;
    }
    // Refused like any bad file: no current template, the previous picture and palette kept.
    EXPECT_EQ(MessageFor(c.status), "ファイルが不正です。");
    EXPECT_TRUE(image.path.empty());
    EXPECT_EQ(image.displayed, before.displayed);
    EXPECT_EQ(image.palette, before.palette);
    // The next load forgets it.
    EXPECT_EQ(TakeInTemplateFile(image, folder_ / "previous.gif", DecodeImageFile),
              ImageStatus::kOk);
    EXPECT_FALSE(image.partlyTransparentPixel);
  }
}

#ifdef KAVELIN_QT_REFERENCE
// Qt misreads a 16-bit truecolour picture with a tRNS colour: its rows come out as four
// channels where the file has three, so it is no reference there (Expected is).
bool QtMisreads(const Bytes& png) {
  const std::string_view text(reinterpret_cast<const char*>(png.data()), png.size());
  return png.size() > 25 && png[24] == 16 && png[25] == kPngTruecolour &&
         text.find("tRNS") != std::string_view::npos;
}

// Our reader against Qt's, which reads PNG through libpng: on every kind of file both must
// give the same picture, pixel for pixel.
void ExpectSameAsQt(const std::filesystem::path& file, const std::string& what) {
  const auto ours = DecodeImageFile(file);
  const auto qt = DecodeWithQt(file);
  ASSERT_EQ(ours.has_value(), qt.has_value()) << what;
  if (!ours) return;
  ASSERT_EQ(ours->Width(), qt->Width()) << what;
  ASSERT_EQ(ours->Height(), qt->Height()) << what;
  for (int y = 0; y < ours->Height(); ++y) {
    for (int x = 0; x < ours->Width(); ++x)
      ASSERT_EQ(ours->At(x, y), qt->At(x, y)) << what << " at " << x << "," << y;
  }
}

TEST_F(PngReader, SameAsQtOnEveryKind) {
  for (int round = 0; round < 300; ++round) {
    const Kind kind = kEveryKind[static_cast<std::size_t>(
        pictures_.Pick(0, static_cast<int>(std::size(kEveryKind)) - 1))];
    PngLayout l = pictures_.Make(kind, pictures_.Pick(1, 40), pictures_.Pick(1, 40),
                                 pictures_.Pick(0, 2) == 0, pictures_.Pick(0, 1) == 0);
    if (pictures_.Pick(0, 4) == 0) l.extraChunks = {{"gAMA", {0, 0, 0x27, 0x10}}, {"sRGB", {0}}};
    l.dataChunkSize = static_cast<std::size_t>(pictures_.Pick(0, 1) * pictures_.Pick(1, 100));
    const Bytes png = PngFile(l);
    if (QtMisreads(png)) continue;
    WriteFile(folder_ / "picture.png", png);
    ExpectSameAsQt(folder_ / "picture.png",
                   "round " + std::to_string(round) + ": type " + std::to_string(kind.colourType) +
                       ", " + std::to_string(kind.bitDepth) + " bits" +
                       (l.interlaced ? ", interlaced" : "") + (l.hasTransparency ? ", tRNS" : ""));
  }
}

TEST_F(PngReader, SameAsQtOnTheFuzzCorpus) {
  int seen = 0;
  for (const auto& entry : std::filesystem::directory_iterator(KAVELIN_PNG_CORPUS)) {
    std::ifstream in(entry.path(), std::ios::binary);
    if (QtMisreads(Bytes(std::istreambuf_iterator<char>(in), {}))) continue;
    ExpectSameAsQt(entry.path(), entry.path().filename().string());
    ++seen;
  }
  EXPECT_GT(seen, 10);
}
#endif

}  // namespace
}  // namespace kavelin::image::testing
