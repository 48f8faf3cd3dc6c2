// A GIF cut inside its first frame's data must be refused, not loaded half-drawn; what
// follows that data (the trailer, other frames) may be missing or garbage.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "image/decoder.hpp"
#include "image_files.hpp"

namespace kavelin::image::testing {
namespace {

namespace fs = std::filesystem;

// Where the first frame's data ends: just past its terminating empty block. Walked here on
// its own rather than taken from the decoder, so that the two can disagree.
std::size_t FirstFrameEnd(const Bytes& b) {
  std::size_t at = 13;
  if ((b.at(10) & 0x80) != 0) at += 3u * (2u << (b[10] & 7));
  const auto skipBlocks = [&] {
    while (b.at(at) != 0)
      at += b[at] + 1u;
    ++at;
  };
  while (b.at(at) == 0x21) {
    at += 2;
    skipBlocks();
  }
  EXPECT_EQ(b.at(at), 0x2C);
  const std::uint8_t flags = b.at(at + 9);
  at += 10;
  if ((flags & 0x80) != 0) at += 3u * (2u << (flags & 7));
  ++at;  // the minimum code size
  skipBlocks();
  return at;
}

Bytes Cut(const Bytes& whole, std::size_t size) {
  return Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size));
}

// Every cut inside the first frame's data is refused; every cut after it shows the same
// picture as the whole file.
void ExpectCutsRefusedInsideTheFrame(const Bytes& whole, const std::string& what) {
  const auto full = DecodeGif(whole);
  ASSERT_TRUE(full) << what;
  const std::size_t end = FirstFrameEnd(whole);
  ASSERT_LE(end, whole.size()) << what;
  for (std::size_t size = 1; size < whole.size(); ++size) {
    const auto cut = DecodeGif(Cut(whole, size));
    if (size < end) {
      EXPECT_FALSE(cut) << what << " cut to " << size << " of " << whole.size();
    } else {
      ASSERT_TRUE(cut) << what << " cut to " << size << " of " << whole.size();
      EXPECT_EQ(*cut, *full) << what << " cut to " << size;
    }
  }
}

TEST(GifTruncation, EveryCutOfTheExampleGifs) {
  int seen = 0;
  for (const auto& entry : fs::directory_iterator(KAVELIN_EXAMPLES)) {
    if (entry.path().extension() != ".gif") continue;
    std::ifstream in(entry.path(), std::ios::binary);
    const Bytes whole(std::istreambuf_iterator<char>(in), {});
    ExpectCutsRefusedInsideTheFrame(whole, entry.path().filename().string());
    ++seen;
  }
  EXPECT_GT(seen, 0) << "no GIF in " << KAVELIN_EXAMPLES;
}

IndexedImage Picture(int width, int height) {
  IndexedImage image{
      width, height, {Rgb(250, 0, 0), Rgb(0, 250, 0), Rgb(0, 0, 250), Rgb(255, 255, 255)}, {}};
  for (int i = 0; i < width * height; ++i)
    image.indices.push_back(static_cast<std::uint8_t>((i * 7 / 3) % 4));
  return image;
}

TEST(GifTruncation, EveryCutOfGeneratedLayouts) {
  const IndexedImage image = Picture(19, 13);
  const struct {
    const char* what;
    bool interlaced, inset, secondFrame, localTable;
  } cases[] = {
      {"plain", false, false, false, false},
      {"interlaced", true, false, false, false},
      {"frame inside the screen", false, true, false, false},
      {"local table and a second frame", true, false, true, true},
  };
  for (const auto& c : cases) {
    GifLayout l;
    l.screenWidth = image.width, l.screenHeight = image.height;
    (c.localTable ? l.localTable : l.globalTable) = image.palette;
    if (c.inset) {
      l.screenWidth += 5, l.screenHeight += 3;
      l.left = 2, l.top = 1;
    }
    l.width = image.width, l.height = image.height;
    l.interlaced = c.interlaced;
    l.indices = image.indices;
    l.secondFrame = c.secondFrame;
    ExpectCutsRefusedInsideTheFrame(GifFile(l), c.what);
  }
}

// LZW codes of one literal per index, least significant bit first, widening as a decoder
// does; with a clear code first and, when asked, the end code last.
Bytes LiteralCodes(std::span<const std::uint8_t> indices, int minCodeSize, bool endCode) {
  Bytes packed;
  std::uint32_t buffer = 0;
  int filled = 0, codeSize = minCodeSize + 1;
  int next = (1 << minCodeSize) + 2, limit = 2 << minCodeSize;
  const auto put = [&](unsigned code) {
    buffer |= code << filled;
    for (filled += codeSize; filled >= 8; filled -= 8, buffer >>= 8)
      packed.push_back(static_cast<std::uint8_t>(buffer & 0xFF));
  };
  put(1u << minCodeSize);
  for (std::size_t i = 0; i < indices.size(); ++i) {
    put(indices[i]);
    if (i > 0 && next < 4096 && ++next >= limit && limit < 4096) limit *= 2, ++codeSize;
  }
  if (endCode) put((1u << minCodeSize) + 1);
  if (filled > 0) packed.push_back(static_cast<std::uint8_t>(buffer & 0xFF));
  return packed;
}

// `packed` in sub-blocks of at most `blockSize` bytes.
Bytes SubBlocks(const Bytes& packed, std::size_t blockSize) {
  Bytes out;
  for (std::size_t at = 0; at < packed.size(); at += blockSize) {
    const std::size_t n = std::min(blockSize, packed.size() - at);
    out.push_back(static_cast<std::uint8_t>(n));
    out.insert(out.end(), packed.begin() + static_cast<std::ptrdiff_t>(at),
               packed.begin() + static_cast<std::ptrdiff_t>(at + n));
  }
  return out;
}

TEST(GifTruncation, HowTheFramesDataEnds) {
  const IndexedImage image = Picture(8, 3);
  const std::span<const std::uint8_t> all = image.indices;
  const auto allButOne = all.first(all.size() - 1);
  const Bytes terminator = {0};
  const auto join = [](std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const auto& p : parts)
      out.insert(out.end(), p.begin(), p.end());
    return out;
  };
  enum class After { kTrailer, kNothing, kGarbage };
  const struct {
    const char* what;
    Bytes data;
    After after;
    bool loads;
  } cases[] = {
      {"end code, then the terminator",
       join({SubBlocks(LiteralCodes(all, 2, true), 5), terminator}), After::kTrailer, true},
      {"the terminator without an end code",
       join({SubBlocks(LiteralCodes(all, 2, false), 255), terminator}), After::kTrailer, true},
      {"more blocks after the end code",
       join({SubBlocks(LiteralCodes(all, 2, true), 4), {3, 0xAA, 0xBB, 0xCC}, terminator}),
       After::kTrailer, true},
      {"no trailer", join({SubBlocks(LiteralCodes(all, 2, true), 255), terminator}),
       After::kNothing, true},
      {"garbage after the frame", join({SubBlocks(LiteralCodes(all, 2, true), 255), terminator}),
       After::kGarbage, true},
      {"an end code one pixel early",
       join({SubBlocks(LiteralCodes(allButOne, 2, true), 255), terminator}), After::kTrailer,
       false},
      {"the terminator one pixel early",
       join({SubBlocks(LiteralCodes(allButOne, 2, false), 255), terminator}), After::kTrailer,
       false},
      {"every pixel and the end code, but the file ends before the terminator",
       SubBlocks(LiteralCodes(all, 2, true), 255), After::kNothing, false},
      {"a block that claims more than the file holds",
       join({SubBlocks(LiteralCodes(all, 2, true), 255), {200, 1, 2, 3}}), After::kNothing, false},
  };
  for (const auto& c : cases) {
    GifLayout l;
    l.screenWidth = l.width = image.width, l.screenHeight = l.height = image.height;
    l.globalTable = image.palette;
    l.compressed = c.data;
    Bytes file = GifFile(l);
    ASSERT_EQ(file.back(), 0x3B);
    if (c.after != After::kTrailer) file.pop_back();
    if (c.after == After::kGarbage) file.insert(file.end(), {0x00, 0xFF, 0x13, 0x2C, 0x01});
    const auto decoded = DecodeGif(file);
    ASSERT_EQ(decoded.has_value(), c.loads) << c.what;
    if (decoded) {
      EXPECT_EQ(*decoded, image.ToRaster()) << c.what;
    }
  }
}

}  // namespace
}  // namespace kavelin::image::testing
