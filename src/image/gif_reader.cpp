// GIF decoding: the first frame only, drawn on the logical screen. Results match what
// users saw from the toolkit's reader before this one: the screen is the picture's size,
// pixels the frame does not cover show the background colour (or the picture area's
// background when the file has a transparent colour). Unlike that reader, a frame whose
// data stops early is refused: a cut file would otherwise load as a half-drawn template.
#include <algorithm>
#include <array>
#include <cstring>
#include <utility>
#include <vector>

#include "image/byte_order.hpp"
#include "image/decoder.hpp"

namespace kavelin::image {
namespace {

constexpr int kMaxCodes = 4096;  // LZW codes are at most 12 bits

// The bytes of an image's data sub-blocks, one at a time, without copying them together.
class SubBlocks {
 public:
  SubBlocks(std::span<const std::uint8_t> bytes, std::size_t at) : bytes_(bytes), at_(at) {}

  // False at the terminating empty block or at the end of the file.
  bool Next(std::uint8_t& byte) {
    while (left_ == 0) {
      if (ended_ || at_ >= bytes_.size()) return false;
      left_ = bytes_[at_++];
      if (left_ == 0) {
        ended_ = true;
        return false;
      }
    }
    if (at_ >= bytes_.size()) return false;
    --left_;
    byte = bytes_[at_++];
    return true;
  }

  // Skips what is left of the data, up to and including the terminating empty block; false
  // when the file ends before it, that is when the file was cut inside the frame's data.
  bool Finish() {
    at_ += static_cast<std::size_t>(left_);
    left_ = 0;
    while (!ended_) {
      if (at_ >= bytes_.size()) return false;
      const std::size_t size = bytes_[at_++];
      if (size == 0) ended_ = true;
      at_ += size;
    }
    return true;
  }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t at_;
  int left_ = 0;
  bool ended_ = false;
};

// Decodes the LZW stream into `out`, the frame's indices in stream order, and returns how
// many it filled; a stream that ends early (an end code, the terminator, the end of the
// file) fills fewer. Every string in the table is the previous code's output plus one
// index, so it already stands in `out`: an entry is just where and how long, and writing a
// code is a copy from earlier output rather than a walk down a chain of prefixes. Nothing
// for a stream no encoder writes: a code past the next free entry, or a first code that is
// not a colour.
std::optional<std::size_t> DecodeLzw(SubBlocks& data, int minimumCodeSize,
                                     std::span<std::uint8_t> out) {
  const int clear = 1 << minimumCodeSize, end = clear + 1;
  std::array<std::uint32_t, kMaxCodes> offset{};
  std::array<std::uint32_t, kMaxCodes> length{};
  const std::size_t total = out.size();
  std::uint8_t* const o = out.data();

  int codeSize = minimumCodeSize + 1, next = clear + 2, limit = clear * 2;
  bool first = true;  // after a clear code: no previous string to extend
  std::size_t at = 0, previousAt = 0, previousSize = 0;
  std::uint32_t bits = 0;
  int bitCount = 0;
  std::uint8_t byte = 0;
  while (at < total) {
    while (bitCount < codeSize) {
      if (!data.Next(byte)) return at;
      bits |= static_cast<std::uint32_t>(byte) << bitCount;
      bitCount += 8;
    }
    const int code = static_cast<int>(bits & ((1u << codeSize) - 1));
    bits >>= codeSize;
    bitCount -= codeSize;

    if (code == clear) {
      codeSize = minimumCodeSize + 1, next = clear + 2, limit = clear * 2;
      first = true;
      continue;
    }
    if (code == end) return at;

    std::size_t size = 1;
    if (code < clear) {
      o[at] = static_cast<std::uint8_t>(code);
    } else if (first || code > next) {
      return std::nullopt;
    } else {
      // An older entry lies wholly before `at`; the entry being made (code == next) is the
      // previous string and its own first index, so the copy overlaps it by one and must
      // run forwards.
      const std::size_t from = code < next ? offset[static_cast<std::size_t>(code)] : previousAt;
      size = code < next ? length[static_cast<std::size_t>(code)] : previousSize + 1;
      const std::size_t n = std::min(size, total - at);
      for (std::size_t i = 0; i < n; ++i)
        o[at + i] = o[from + i];
    }
    if (!first && next < kMaxCodes) {
      offset[static_cast<std::size_t>(next)] = static_cast<std::uint32_t>(previousAt);
      length[static_cast<std::size_t>(next)] = static_cast<std::uint32_t>(previousSize + 1);
      if (++next >= limit && limit < kMaxCodes) {
        limit *= 2;
        ++codeSize;
      }
    }
    first = false;
    previousAt = at, previousSize = size;
    at += size;
  }
  return std::min(at, total);
}

// Places the first `count` decoded indices of the frame on the canvas, row by row or in
// the four interlaced passes, clipped to the screen.
void PlaceFrame(std::span<const std::uint8_t> indices, std::size_t count, int left, int top,
                int width, int height, bool interlaced, const std::array<Colour, 256>& colours,
                Raster& canvas) {
  static constexpr std::array<std::pair<int, int>, 4> kPasses = {std::pair{0, 8}, std::pair{4, 8},
                                                                 std::pair{2, 4}, std::pair{1, 2}};
  const std::size_t rowLength = static_cast<std::size_t>(width);
  const int visible = std::max(0, std::min(width, canvas.Width() - left));
  std::size_t from = 0;
  const auto placeRow = [&](int row) {
    const int y = top + row;
    if (y < canvas.Height() && visible > 0) {
      Colour* line = canvas.Pixels().data() + static_cast<std::size_t>(y) * canvas.Width() + left;
      const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(visible), count - from);
      for (std::size_t x = 0; x < n; ++x)
        line[x] = colours[indices[from + x]];
    }
    from += rowLength;
  };
  if (!interlaced) {
    for (int row = 0; row < height && from < count; ++row)
      placeRow(row);
    return;
  }
  for (const auto& [start, step] : kPasses) {
    for (int row = start; row < height && from < count; row += step)
      placeRow(row);
  }
}

// Reads a colour table of `count` entries at `at`; false when the file ends inside it.
bool ReadColourTable(std::span<const std::uint8_t> b, std::size_t& at, int count,
                     std::array<Colour, 256>& table) {
  if (b.size() - at < static_cast<std::size_t>(count) * 3) return false;
  for (int i = 0; i < count; ++i, at += 3)
    table[static_cast<std::size_t>(i)] = Rgb(b[at], b[at + 1], b[at + 2]);
  return true;
}

// Skips sub-blocks up to and including the empty one; false at the end of the file.
bool SkipSubBlocks(std::span<const std::uint8_t> b, std::size_t& at) {
  while (at < b.size()) {
    const std::size_t size = b[at++];
    if (size == 0) return true;
    at += size;
  }
  return false;
}

}  // namespace

std::optional<Raster> DecodeGif(std::span<const std::uint8_t> b) {
  if (b.size() < 13 ||
      (std::memcmp(b.data(), "GIF87a", 6) != 0 && std::memcmp(b.data(), "GIF89a", 6) != 0))
    return std::nullopt;
  const auto word = [b](std::size_t at) { return static_cast<int>(ReadLittle(b, at, 2)); };
  const int screenWidth = word(6), screenHeight = word(8);
  const std::uint8_t screenFlags = b[10], backgroundIndex = b[11];
  const bool hasGlobal = (screenFlags & 0x80) != 0;
  const int globalCount = 2 << (screenFlags & 7);
  std::size_t at = 13;
  std::array<Colour, 256> global{};
  if (hasGlobal && !ReadColourTable(b, at, globalCount, global)) return std::nullopt;

  int transparent = -1;
  for (;;) {
    if (at >= b.size()) return std::nullopt;
    const std::uint8_t introducer = b[at++];
    if (introducer == 0x2C) break;                // the first image
    if (introducer != 0x21) return std::nullopt;  // the trailer, or not a GIF block
    if (at >= b.size()) return std::nullopt;
    const std::uint8_t label = b[at++];
    // Graphic control: the last one before the image says which colour is transparent.
    if (label == 0xF9 && at + 5 <= b.size() && b[at] >= 4)
      transparent = (b[at + 1] & 1) != 0 ? b[at + 4] : -1;
    if (!SkipSubBlocks(b, at)) return std::nullopt;
  }

  if (b.size() - at < 9) return std::nullopt;
  const int left = word(at), top = word(at + 2);
  const int frameWidth = word(at + 4), frameHeight = word(at + 6);
  const std::uint8_t frameFlags = b[at + 8];
  at += 9;
  // A screen of zero width or height is taken from the frame, as viewers do.
  const int width = screenWidth > 0 ? screenWidth : left + frameWidth;
  const int height = screenHeight > 0 ? screenHeight : top + frameHeight;
  // The frame is decoded whole before it is clipped to the screen, so it is held to the
  // same cap: a header must not make us allocate gigabytes for a few hundred bytes of data.
  if (width <= 0 || height <= 0 || width > kMaxImageSide || height > kMaxImageSide ||
      frameWidth > kMaxImageSide || frameHeight > kMaxImageSide)
    return std::nullopt;

  std::array<Colour, 256> local{};
  const bool hasLocal = (frameFlags & 0x80) != 0;
  const int localCount = 2 << (frameFlags & 7);
  if (hasLocal && !ReadColourTable(b, at, localCount, local)) return std::nullopt;

  // An index outside the table, the transparent index, and every index of a file with no
  // table at all show the picture area's background.
  std::array<Colour, 256> colours;
  colours.fill(kBackground);
  const bool hasTable = hasLocal || hasGlobal;
  const int count = hasLocal ? localCount : globalCount;
  for (int i = 0; hasTable && i < count; ++i) {
    if (i != transparent)
      colours[static_cast<std::size_t>(i)] =
          (hasLocal ? local : global)[static_cast<std::size_t>(i)];
  }

  // Around a frame smaller than the screen: the background colour, unless the file has a
  // transparent colour.
  Colour around = kBackground;
  if (transparent < 0 && hasGlobal && backgroundIndex < globalCount)
    around = global[backgroundIndex];
  const bool covers = left == 0 && top == 0 && frameWidth >= width && frameHeight >= height;
  Raster canvas(width, height, covers ? kBackground : around);

  if (at >= b.size()) return std::nullopt;
  const int minimumCodeSize = b[at++];
  if (minimumCodeSize > 8) return std::nullopt;
  if (at >= b.size()) return std::nullopt;  // not even the first data block's length
  SubBlocks data(b, at);
  std::vector<std::uint8_t> indices(static_cast<std::size_t>(frameWidth) * frameHeight);
  const auto decoded = DecodeLzw(data, minimumCodeSize, indices);
  // Every pixel of the frame, and its data closed by the empty block: what follows (the
  // trailer, further frames) may be missing or garbage, as with many writers' files.
  if (!decoded || *decoded < indices.size() || !data.Finish()) return std::nullopt;
  PlaceFrame(indices, *decoded, left, top, frameWidth, frameHeight, (frameFlags & 0x40) != 0,
             colours, canvas);
  return canvas;
}

}  // namespace kavelin::image
