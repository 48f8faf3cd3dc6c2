// GIF decoding: the first frame only, drawn on the logical screen. Results match what
// users saw from the toolkit's reader before this one: the screen is the picture's size,
// pixels the frame does not cover show the background colour (or the picture area's
// background when the file has a transparent colour), and a stream that ends early keeps
// what it drew.
#include <algorithm>
#include <array>
#include <cstring>

#include "image/decoder.hpp"

namespace kavelin::image {
namespace {

constexpr int kMaxCodes = 4096;  // LZW codes are at most 12 bits

int Little16(std::span<const std::uint8_t> b, std::size_t at) {
  return b[at] | b[at + 1] << 8;
}

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

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t at_;
  int left_ = 0;
  bool ended_ = false;
};

// Where the frame's pixels go, row by row or in the four interlaced passes, clipped to
// the screen.
class FrameCursor {
 public:
  FrameCursor(Raster& canvas, int left, int top, int width, int height, bool interlaced)
      : canvas_(canvas),
        left_(left),
        top_(top),
        width_(width),
        height_(height),
        interlaced_(interlaced) {
    StartRow();
  }

  bool Done() const { return row_ >= height_; }

  void Put(Colour c) {
    if (line_ != nullptr && left_ + x_ < canvas_.Width()) line_[left_ + x_] = c;
    if (++x_ < width_) return;
    x_ = 0;
    NextRow();
  }

 private:
  static constexpr std::array<int, 4> kPassStart = {0, 4, 2, 1};
  static constexpr std::array<int, 4> kPassStep = {8, 8, 4, 2};

  void NextRow() {
    if (!interlaced_) {
      ++row_;
    } else {
      row_ += kPassStep[static_cast<std::size_t>(pass_)];
      while (row_ >= height_ && pass_ < 3) {
        ++pass_;
        row_ = kPassStart[static_cast<std::size_t>(pass_)];
      }
    }
    StartRow();
  }

  void StartRow() {
    const int y = top_ + row_;
    line_ = row_ < height_ && y < canvas_.Height() && left_ < canvas_.Width()
                ? canvas_.Pixels().data() + static_cast<std::size_t>(y) * canvas_.Width()
                : nullptr;
  }

  Raster& canvas_;
  int left_, top_, width_, height_;
  bool interlaced_;
  int pass_ = 0, row_ = 0, x_ = 0;
  Colour* line_ = nullptr;
};

// Decodes the LZW stream into the cursor. False for a stream no encoder writes: a code
// past the next free entry, or a first code that is not a colour.
bool DecodeLzw(SubBlocks& data, int minimumCodeSize, const std::array<Colour, 256>& colours,
               FrameCursor& cursor) {
  const int clear = 1 << minimumCodeSize, end = clear + 1;
  std::array<std::uint16_t, kMaxCodes> prefix{};
  std::array<std::uint8_t, kMaxCodes> suffix{};
  std::array<std::uint8_t, kMaxCodes + 1> stack{};
  for (int i = 0; i < clear; ++i)
    suffix[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);

  int codeSize = minimumCodeSize + 1, next = clear + 2, limit = clear * 2;
  int previous = -1;
  std::uint8_t first = 0;
  std::uint32_t bits = 0;
  int bitCount = 0;
  std::uint8_t byte = 0;
  while (!cursor.Done()) {
    while (bitCount < codeSize) {
      if (!data.Next(byte)) return true;  // the stream ended early: keep what it drew
      bits |= static_cast<std::uint32_t>(byte) << bitCount;
      bitCount += 8;
    }
    int code = static_cast<int>(bits & ((1u << codeSize) - 1));
    bits >>= codeSize;
    bitCount -= codeSize;

    if (code == clear) {
      codeSize = minimumCodeSize + 1, next = clear + 2, limit = clear * 2;
      previous = -1;
      continue;
    }
    if (code == end) return true;
    if (previous < 0) {
      if (code >= clear) return false;
      first = suffix[static_cast<std::size_t>(code)];
      cursor.Put(colours[first]);
      previous = code;
      continue;
    }
    if (code > next) return false;

    std::size_t depth = 0;
    int walk = code;
    if (code == next) {  // the entry being made: the previous string and its first colour
      stack[depth++] = first;
      walk = previous;
    }
    while (walk > end) {
      stack[depth++] = suffix[static_cast<std::size_t>(walk)];
      walk = prefix[static_cast<std::size_t>(walk)];
    }
    first = suffix[static_cast<std::size_t>(walk)];
    stack[depth++] = first;
    while (depth > 0 && !cursor.Done())
      cursor.Put(colours[stack[--depth]]);

    if (next < kMaxCodes) {
      prefix[static_cast<std::size_t>(next)] = static_cast<std::uint16_t>(previous);
      suffix[static_cast<std::size_t>(next)] = first;
      if (++next >= limit && limit < kMaxCodes) {
        limit *= 2;
        ++codeSize;
      }
    }
    previous = code;
  }
  return true;
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
  if (b.size() < 13 || (std::memcmp(b.data(), "GIF87a", 6) != 0 &&
                        std::memcmp(b.data(), "GIF89a", 6) != 0))
    return std::nullopt;
  const int screenWidth = Little16(b, 6), screenHeight = Little16(b, 8);
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
    if (introducer == 0x2C) break;    // the first image
    if (introducer != 0x21) return std::nullopt;  // the trailer, or not a GIF block
    if (at >= b.size()) return std::nullopt;
    const std::uint8_t label = b[at++];
    // Graphic control: the last one before the image says which colour is transparent.
    if (label == 0xF9 && at + 5 <= b.size() && b[at] >= 4)
      transparent = (b[at + 1] & 1) != 0 ? b[at + 4] : -1;
    if (!SkipSubBlocks(b, at)) return std::nullopt;
  }

  if (b.size() - at < 9) return std::nullopt;
  const int left = Little16(b, at), top = Little16(b, at + 2);
  const int frameWidth = Little16(b, at + 4), frameHeight = Little16(b, at + 6);
  const std::uint8_t frameFlags = b[at + 8];
  at += 9;
  // A screen of zero width or height is taken from the frame, as viewers do.
  const int width = screenWidth > 0 ? screenWidth : left + frameWidth;
  const int height = screenHeight > 0 ? screenHeight : top + frameHeight;
  if (width <= 0 || height <= 0 || width > kMaxImageSide || height > kMaxImageSide)
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
      colours[static_cast<std::size_t>(i)] = (hasLocal ? local : global)[static_cast<std::size_t>(i)];
  }

  // Around a frame smaller than the screen: the background colour, unless the file has a
  // transparent colour.
  Colour around = kBackground;
  if (transparent < 0 && hasGlobal && backgroundIndex < globalCount) around = global[backgroundIndex];
  const bool covers = left == 0 && top == 0 && frameWidth >= width && frameHeight >= height;
  Raster canvas(width, height, covers ? kBackground : around);

  if (at >= b.size()) return std::nullopt;
  const int minimumCodeSize = b[at++];
  if (minimumCodeSize > 8) return std::nullopt;
  if (at >= b.size()) return std::nullopt;  // not even the first data block's length
  SubBlocks data(b, at);
  FrameCursor cursor(canvas, left, top, frameWidth, frameHeight, (frameFlags & 0x40) != 0);
  if (!DecodeLzw(data, minimumCodeSize, colours, cursor)) return std::nullopt;
  return canvas;
}

}  // namespace kavelin::image
