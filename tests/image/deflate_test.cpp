// The zlib stream of exported PNG and its checksums, in either build: the stream is
// inflated by stb_image's inflater, not by anything of ours, and without zlib its stored
// blocks are checked one by one.
#include "image/deflate.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string_view>

#include "image/decoder.hpp"
#include "image/encoder.hpp"
#include "image_files.hpp"

#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_NO_SIMD
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wconversion"
#pragma GCC diagnostic ignored "-Wsign-conversion"
#pragma GCC diagnostic ignored "-Wshadow"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#include <stb_image.h>
#pragma GCC diagnostic pop

namespace kavelin::image::testing {
namespace {

constexpr bool kStored = KAVELIN_STORED_DEFLATE;

std::optional<Bytes> Inflated(const Bytes& stream) {
  int size = 0;
  char* data =
      stbi_zlib_decode_malloc_guesssize_headerflag(reinterpret_cast<const char*>(stream.data()),
                                                   static_cast<int>(stream.size()), 4096, &size, 1);
  if (data == nullptr) return std::nullopt;
  Bytes out(data, data + size);
  std::free(data);
  return out;
}

std::uint32_t Big32(const Bytes& b, std::size_t at) {
  return static_cast<std::uint32_t>(b[at]) << 24 | static_cast<std::uint32_t>(b[at + 1]) << 16 |
         static_cast<std::uint32_t>(b[at + 2]) << 8 | b[at + 3];
}

Bytes Noise(std::size_t size) {
  Bytes out(size);
  std::uint32_t seed = 11;
  for (auto& b : out) {
    seed = seed * 1103515245u + 12345u;
    b = static_cast<std::uint8_t>(seed >> 16);
  }
  return out;
}

// The stored blocks of a stream, checked as RFC 1951 has them; their lengths, or nothing
// when the stream breaks a rule.
std::optional<std::vector<std::size_t>> StoredBlocks(const Bytes& stream) {
  std::vector<std::size_t> lengths;
  std::size_t at = 2;
  for (bool last = false; !last;) {
    if (at + 5 > stream.size() || (stream[at] & ~1u) != 0) return std::nullopt;
    last = stream[at] == 1;
    const std::size_t length = stream[at + 1] | stream[at + 2] << 8;
    if (static_cast<std::size_t>(stream[at + 3] | stream[at + 4] << 8) != (~length & 0xFFFF))
      return std::nullopt;
    lengths.push_back(length);
    at += 5 + length;
  }
  if (at + 4 != stream.size()) return std::nullopt;
  return lengths;
}

TEST(Checksums, KnownValues) {
  const auto bytes = [](std::string_view s) { return Bytes(s.begin(), s.end()); };
  Bytes cycle;
  for (int k = 0; k < 300; ++k)
    for (int i = 0; i < 256; ++i)
      cycle.push_back(static_cast<std::uint8_t>(i));
  const struct {
    const char* what;
    Bytes data;
    std::uint32_t crc, adler;
  } cases[] = {
      {"nothing", {}, 0, 1},
      {"the check string", bytes("123456789"), 0xCBF43926, 0x091E01DE},
      {"Wikipedia", bytes("Wikipedia"), 0xADAAC02E, 0x11E60398},
      {"an IEND chunk's type", bytes("IEND"), 0xAE426082, 0x02D70121},
      // Long enough for Adler-32's sums to be reduced many times over.
      {"100000 bytes of 0xFF", Bytes(100000, 0xFF), 0x68C6CEC4, 0x149A302C},
      {"every byte value 300 times", cycle, 0xBB9CF916, 0x09F872BC},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Crc32(c.data), c.crc) << c.what;
    EXPECT_EQ(Adler32(c.data), c.adler) << c.what;
  }
}

// Around the stored block's limit of 65535 bytes, and well past it.
TEST(ZlibStream, InflatesToItsDataAtEverySize) {
  for (const std::size_t size :
       {0u, 1u, 1000u, 65534u, 65535u, 65536u, 131070u, 131071u, 300000u}) {
    SCOPED_TRACE(size);
    const Bytes data = Noise(size);
    const auto stream = ZlibStream(data);
    ASSERT_TRUE(stream);
    ASSERT_GE(stream->size(), 6u);
    EXPECT_EQ((*stream)[0] & 0x0F, 8) << "deflate";
    EXPECT_EQ(((*stream)[0] << 8 | (*stream)[1]) % 31, 0) << "the header's check bits";
    EXPECT_EQ(Big32(*stream, stream->size() - 4), Adler32(data));
    EXPECT_EQ(Inflated(*stream), data);
    if (!kStored) continue;
    const auto blocks = StoredBlocks(*stream);
    ASSERT_TRUE(blocks);
    const std::size_t count = size == 0 ? 1 : (size + kStoredBlockMax - 1) / kStoredBlockMax;
    ASSERT_EQ(blocks->size(), count);
    for (std::size_t k = 0; k + 1 < count; ++k)
      EXPECT_EQ((*blocks)[k], kStoredBlockMax) << "block " << k;
    EXPECT_EQ(blocks->back(), size - (count - 1) * kStoredBlockMax);
  }
}

Raster Pattern(int width, int height, int colours) {
  Raster r(width, height);
  int k = 0;
  for (auto& c : r.Pixels()) {
    const int n = k++ * 7919 % colours;
    c = Rgb(static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8),
            static_cast<std::uint8_t>(n * 37));
  }
  return r;
}

// Exported PNG reads back as its raster, with its rows whole in the data; without zlib
// the rows take as many stored blocks as 65535 bytes a block needs.
TEST(PngExport, ReadsBackExactlyWithItsRowsInTheData) {
  const struct {
    const char* what;
    Raster raster;
    std::size_t pixelBytes;
  } cases[] = {
      {"a template of 16 colours", Pattern(176, 132, 16), 1},
      {"one pixel", Pattern(1, 1, 1), 1},
      {"truecolour", Pattern(40, 30, 300), 3},
      {"rows of exactly one block", Pattern(256, 255, 256), 1},
      {"one byte past a block", Pattern(255, 256, 256), 1},
      {"exactly two blocks", Pattern(256, 510, 200), 1},
      {"truecolour over many blocks", Pattern(200, 200, 4000), 3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const auto png = EncodePng(c.raster);
    ASSERT_TRUE(png);
    EXPECT_EQ(DecodePng(*png), c.raster);
    Bytes data;
    for (std::size_t at = 8; at + 12 <= png->size();) {
      const std::size_t length = Big32(*png, at);
      if (std::string_view(reinterpret_cast<const char*>(png->data()) + at + 4, 4) == "IDAT")
        data.insert(data.end(), png->begin() + static_cast<std::ptrdiff_t>(at + 8),
                    png->begin() + static_cast<std::ptrdiff_t>(at + 8 + length));
      at += 12 + length;
    }
    const std::size_t rowBytes = 1 + static_cast<std::size_t>(c.raster.Width()) * c.pixelBytes;
    const std::size_t rowsSize = rowBytes * static_cast<std::size_t>(c.raster.Height());
    const auto rows = Inflated(data);
    ASSERT_TRUE(rows);
    ASSERT_EQ(rows->size(), rowsSize);
    for (std::size_t at = 0; at < rows->size(); at += rowBytes)
      ASSERT_EQ((*rows)[at], 0) << "filter of the row at " << at;
    if (!kStored) continue;
    const auto blocks = StoredBlocks(data);
    ASSERT_TRUE(blocks);
    EXPECT_EQ(blocks->size(), (rowsSize + kStoredBlockMax - 1) / kStoredBlockMax);
  }
}

}  // namespace
}  // namespace kavelin::image::testing
