// BMP decoding: the OS/2 and Windows headers up to version 5; 1, 4 and 8 bits with a
// colour table, run-length 4 and 8, 16, 24 and 32 bits, bit fields; bottom-up or top-down.
// An index past the colour table shows the picture area's background, as a pixel with a
// zero alpha does; pixels a run-length bitmap skips are entry 0, every time.
#include <array>
#include <bit>
#include <vector>

#include "image/byte_order.hpp"
#include "image/decoder.hpp"

namespace kavelin::image {
namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kCoreHeaderSize = 12, kInfoHeaderSize = 40, kV3HeaderSize = 56;
enum Compression : std::uint32_t { kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3 };

struct Header {
  std::int64_t width = 0, height = 0;  // height < 0: rows stored from the top
  int bits = 0;
  std::uint32_t compression = kRgb;
  std::uint32_t coloursUsed = 0;
  std::size_t tableAt = 0, entrySize = 4;
  std::size_t dataAt = 0;                // where the header says the pixels start
  std::array<std::uint32_t, 4> masks{};  // red, green, blue, alpha
};

std::optional<Header> ReadHeader(std::span<const std::uint8_t> b) {
  if (b.size() < kFileHeaderSize + 4 || b[0] != 'B' || b[1] != 'M') return std::nullopt;
  Header h;
  h.dataAt = ReadLittle(b, 10, 4);
  const std::uint32_t size = ReadLittle(b, 14, 4);
  int planes = 0;
  if (size == kCoreHeaderSize) {
    if (b.size() < kFileHeaderSize + kCoreHeaderSize) return std::nullopt;
    h.width = static_cast<std::int16_t>(ReadLittle(b, 18, 2));
    h.height = static_cast<std::int16_t>(ReadLittle(b, 20, 2));
    planes = static_cast<int>(ReadLittle(b, 22, 2));
    h.bits = static_cast<int>(ReadLittle(b, 24, 2));
    h.entrySize = 3;
  } else if (size >= kInfoHeaderSize) {
    if (b.size() < kFileHeaderSize + kInfoHeaderSize) return std::nullopt;
    h.width = static_cast<std::int32_t>(ReadLittle(b, 18, 4));
    h.height = static_cast<std::int32_t>(ReadLittle(b, 22, 4));
    planes = static_cast<int>(ReadLittle(b, 26, 2));
    h.bits = static_cast<int>(ReadLittle(b, 28, 2));
    h.compression = ReadLittle(b, 30, 4);
    h.coloursUsed = ReadLittle(b, 46, 4);
  } else {
    return std::nullopt;
  }
  h.tableAt = kFileHeaderSize + size;

  const bool bitsKnown =
      h.bits == 1 || h.bits == 4 || h.bits == 8 || h.bits == 16 || h.bits == 24 || h.bits == 32;
  const bool compressionFits = h.compression == kRgb || (h.compression == kRle8 && h.bits == 8) ||
                               (h.compression == kRle4 && h.bits == 4) ||
                               (h.compression == kBitFields && (h.bits == 16 || h.bits == 32));
  if (planes != 1 || !bitsKnown || !compressionFits) return std::nullopt;
  if (h.width <= 0 || h.height == 0 || h.width > kMaxImageSide ||
      (h.height < 0 ? -h.height : h.height) > kMaxImageSide)
    return std::nullopt;

  // Bit fields follow a version 1 header; later headers hold them (and alpha from version 3).
  if (h.compression == kBitFields) {
    const std::size_t masks = size >= kV3HeaderSize ? 4 : 3;
    if (b.size() < kFileHeaderSize + kInfoHeaderSize + masks * 4) return std::nullopt;
    for (std::size_t i = 0; i < masks; ++i)
      h.masks[i] = ReadLittle(b, kFileHeaderSize + kInfoHeaderSize + i * 4, 4);
    if (size == kInfoHeaderSize) h.tableAt += 12;
  }
  return h;
}

// One channel of a bit-field pixel on 0..255: a narrow field is multiplied up (5 bits by 8,
// 6 by 4), as Qt did, so that pictures keep the colours they always showed; the SNES
// colours of a patch drop those low bits anyway. A field past 8 bits keeps its top 8.
class Channel {
 public:
  explicit Channel(std::uint32_t mask)
      : mask_(mask),
        shift_(mask == 0 ? 0 : std::countr_zero(mask)),
        width_(mask == 0 ? 0 : std::bit_width(mask >> shift_)) {}
  std::uint8_t Of(std::uint32_t pixel) const {
    const std::uint32_t v = (pixel & mask_) >> shift_;
    if (width_ > 8) return static_cast<std::uint8_t>(v >> (width_ - 8));
    return static_cast<std::uint8_t>(v << (8 - width_));
  }
  bool Present() const { return width_ != 0; }

 private:
  std::uint32_t mask_;
  int shift_, width_;
};

// The image row that the file's n-th stored row is.
std::size_t RowOf(const Header& h, std::int64_t stored, int height) {
  return static_cast<std::size_t>(h.height < 0 ? stored : height - 1 - stored);
}

// Run-length bitmaps into a grid of colour-table indices, starting with entry 0.
std::vector<std::uint8_t> DecodeRunLength(std::span<const std::uint8_t> b, std::size_t at,
                                          const Header& h, int width, int height) {
  std::vector<std::uint8_t> indices(static_cast<std::size_t>(width) * height, 0);
  const bool four = h.compression == kRle4;
  int x = 0, y = 0;  // y counts stored rows, from the first one in the file
  const auto put = [&](std::uint8_t index) {
    if (x < width && y < height)
      indices[RowOf(h, y, height) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] =
          index;
    ++x;
  };
  while (y < height && at + 1 < b.size()) {
    const std::uint8_t count = b[at], value = b[at + 1];
    at += 2;
    if (count > 0) {  // a run of one index, or two alternating in four-bit bitmaps
      for (int i = 0; i < count; ++i)
        put(four ? static_cast<std::uint8_t>(i % 2 == 0 ? value >> 4 : value & 0x0F) : value);
      continue;
    }
    if (value == 0) {  // end of the row
      x = 0, ++y;
    } else if (value == 1) {  // end of the bitmap
      break;
    } else if (value == 2) {  // move right and up
      if (at + 1 >= b.size()) break;
      x = std::min(x + b[at], width - 1);
      y = std::min(y + b[at + 1], height - 1);
      at += 2;
    } else {  // `value` indices as they are, padded to a whole number of 16-bit words
      const std::size_t bytes = four ? (value + 1u) / 2 : value;
      for (int i = 0; i < value; ++i) {
        const std::size_t byteAt = at + static_cast<std::size_t>(four ? i / 2 : i);
        if (byteAt >= b.size()) break;
        put(four ? static_cast<std::uint8_t>(i % 2 == 0 ? b[byteAt] >> 4 : b[byteAt] & 0x0F)
                 : b[byteAt]);
      }
      at += bytes + bytes % 2;
    }
  }
  return indices;
}

}  // namespace

std::optional<Raster> DecodeBmp(std::span<const std::uint8_t> b) {
  const auto header = ReadHeader(b);
  if (!header) return std::nullopt;
  const Header& h = *header;
  const int width = static_cast<int>(h.width);
  const int height = static_cast<int>(h.height < 0 ? -h.height : h.height);

  std::array<Colour, 256> table;
  table.fill(kBackground);
  std::size_t pixelsAt = h.tableAt;
  if (h.bits <= 8) {
    const std::uint32_t entries = h.coloursUsed != 0 ? h.coloursUsed : 1u << h.bits;
    if (entries > 256) return std::nullopt;
    pixelsAt += entries * h.entrySize;
    if (pixelsAt >= b.size()) return std::nullopt;  // the table, and nothing after it
    for (std::size_t i = 0; i < entries; ++i) {
      const std::size_t at = h.tableAt + i * h.entrySize;
      table[i] = Rgb(b[at + 2], b[at + 1], b[at]);
    }
  }
  // A pixel offset pointing back into the headers is not believed.
  if (h.dataAt > pixelsAt) pixelsAt = h.dataAt;

  Raster raster(width, height);
  Colour* out = raster.Pixels().data();
  const auto rowStart = [&](std::int64_t stored) {
    return out + RowOf(h, stored, height) * static_cast<std::size_t>(width);
  };

  if (h.compression == kRle8 || h.compression == kRle4) {
    if (pixelsAt >= b.size()) return std::nullopt;
    const auto indices = DecodeRunLength(b, pixelsAt, h, width, height);
    for (std::size_t i = 0; i < indices.size(); ++i)
      out[i] = table[indices[i]];
    return raster;
  }

  const std::size_t stride = (static_cast<std::size_t>(width) * h.bits + 31) / 32 * 4;
  if (pixelsAt > b.size() || (b.size() - pixelsAt) / stride < static_cast<std::size_t>(height))
    return std::nullopt;  // rows missing: the same file must give the same picture every time

  if (h.bits <= 8) {
    const int bits = h.bits;
    const unsigned mask = (1u << bits) - 1;
    for (int stored = 0; stored < height; ++stored) {
      const std::uint8_t* in = b.data() + pixelsAt + static_cast<std::size_t>(stored) * stride;
      Colour* line = rowStart(stored);
      if (bits == 8) {
        for (int x = 0; x < width; ++x)
          line[x] = table[in[x]];
        continue;
      }
      // Several pixels to a byte, the leftmost in the high bits.
      for (int x = 0; x < width; ++x) {
        const int bit = x * bits;
        line[x] = table[(in[bit >> 3] >> (8 - bits - (bit & 7))) & mask];
      }
    }
    return raster;
  }

  std::array<std::uint32_t, 4> masks = h.masks;
  if (h.compression == kRgb) {
    masks = h.bits == 16 ? std::array<std::uint32_t, 4>{0x7C00, 0x03E0, 0x001F, 0}
                         : std::array<std::uint32_t, 4>{0xFF0000, 0x00FF00, 0x0000FF, 0};
  }
  const Channel red(masks[0]), green(masks[1]), blue(masks[2]), alpha(masks[3]);
  const int bytesPerPixel = h.bits / 8;
  if (masks == std::array<std::uint32_t, 4>{0xFF0000, 0x00FF00, 0x0000FF, 0}) {
    // Plain 24- and 32-bit colour, the usual case: the bytes are blue, green, red.
    for (int stored = 0; stored < height; ++stored) {
      const std::uint8_t* in = b.data() + pixelsAt + static_cast<std::size_t>(stored) * stride;
      Colour* line = rowStart(stored);
      for (int x = 0; x < width; ++x, in += bytesPerPixel)
        line[x] = Rgb(in[2], in[1], in[0]);
    }
    return raster;
  }
  for (int stored = 0; stored < height; ++stored) {
    const std::uint8_t* in = b.data() + pixelsAt + static_cast<std::size_t>(stored) * stride;
    Colour* line = rowStart(stored);
    for (int x = 0; x < width; ++x, in += bytesPerPixel) {
      std::uint32_t p = 0;
      for (int i = bytesPerPixel - 1; i >= 0; --i)
        p = p << 8 | in[i];
      line[x] = alpha.Present() && alpha.Of(p) == 0 ? kBackground
                                                    : Rgb(red.Of(p), green.Of(p), blue.Of(p));
    }
  }
  return raster;
}

}  // namespace kavelin::image
