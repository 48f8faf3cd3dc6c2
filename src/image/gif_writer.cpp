// GIF writing: Qt reads GIF but never wrote it, so this encoder has always been our own;
// it only needs what a template needs.
#include <array>
#include <unordered_map>

#include "image/byte_order.hpp"
#include "image/encoder.hpp"

namespace kavelin::image {
namespace {

// GIF's variable-width LZW codes, packed least significant bit first into 255-byte blocks.
class CodeWriter {
 public:
  explicit CodeWriter(std::vector<std::uint8_t>& out) : out_(out) {}

  void Put(unsigned code, unsigned width) {
    bits_ |= static_cast<std::uint64_t>(code) << count_;
    count_ += width;
    while (count_ >= 8) {
      Byte(static_cast<std::uint8_t>(bits_ & 0xFF));
      bits_ >>= 8;
      count_ -= 8;
    }
  }

  void Finish() {
    if (count_ > 0) Byte(static_cast<std::uint8_t>(bits_ & 0xFF));
    Flush();
    out_.push_back(0);  // block terminator
  }

 private:
  void Byte(std::uint8_t b) {
    block_[blockSize_++] = b;
    if (blockSize_ == block_.size()) Flush();
  }
  void Flush() {
    if (blockSize_ == 0) return;
    out_.push_back(static_cast<std::uint8_t>(blockSize_));
    out_.insert(out_.end(), block_.begin(),
                block_.begin() + static_cast<std::ptrdiff_t>(blockSize_));
    blockSize_ = 0;
  }

  std::vector<std::uint8_t>& out_;
  std::array<std::uint8_t, 255> block_{};
  std::size_t blockSize_ = 0;
  std::uint64_t bits_ = 0;
  unsigned count_ = 0;
};

}  // namespace

void AppendGifImageData(std::span<const std::uint8_t> indices, unsigned minCodeSize,
                        std::vector<std::uint8_t>& out) {
  const unsigned clear = 1u << minCodeSize, end = clear + 1;
  CodeWriter writer(out);
  // Each string is its prefix code and one more index: key = prefix << 8 | index.
  std::unordered_map<std::uint32_t, unsigned> table;
  unsigned width = minCodeSize + 1, next = end + 1;
  writer.Put(clear, width);
  unsigned prefix = indices.front();
  for (std::size_t i = 1; i < indices.size(); ++i) {
    const std::uint32_t key = prefix << 8 | indices[i];
    if (const auto it = table.find(key); it != table.end()) {
      prefix = it->second;
      continue;
    }
    writer.Put(prefix, width);
    if (next < 4096) {
      table.emplace(key, next++);
      // The decoder widens its codes once the next code no longer fits.
      if (next > (1u << width) && width < 12) ++width;
    } else {
      writer.Put(clear, width);
      table.clear();
      width = minCodeSize + 1;
      next = end + 1;
    }
    prefix = indices[i];
  }
  writer.Put(prefix, width);
  writer.Put(end, width);
  writer.Finish();
}

std::optional<std::vector<std::uint8_t>> EncodeGif(const Raster& raster) {
  if (raster.Width() <= 0 || raster.Height() <= 0 || raster.Width() > 0xFFFF ||
      raster.Height() > 0xFFFF) {
    return std::nullopt;
  }
  const auto indexed = IndexColours(raster);
  if (!indexed) return std::nullopt;
  const auto& [colours, indices] = *indexed;
  // The colour table holds a power of two entries, at least 4 so that codes start at 3 bits.
  unsigned bits = 2;
  while ((1u << bits) < colours.size())
    ++bits;

  std::vector<std::uint8_t> out = {'G', 'I', 'F', '8', '9', 'a'};
  PutLittle(out, static_cast<std::uint32_t>(raster.Width()), 2);
  PutLittle(out, static_cast<std::uint32_t>(raster.Height()), 2);
  out.push_back(static_cast<std::uint8_t>(0x80 | (bits - 1) << 4 | (bits - 1)));
  out.push_back(0);  // background colour index
  out.push_back(0);  // pixel aspect ratio
  for (unsigned i = 0; i < (1u << bits); ++i) {
    const Colour c = i < colours.size() ? colours[i] : 0;
    out.insert(out.end(), {Red(c), Green(c), Blue(c)});
  }
  out.push_back(0x2C);  // image descriptor
  PutLittle(out, 0, 2);
  PutLittle(out, 0, 2);
  PutLittle(out, static_cast<std::uint32_t>(raster.Width()), 2);
  PutLittle(out, static_cast<std::uint32_t>(raster.Height()), 2);
  out.push_back(0);
  out.push_back(static_cast<std::uint8_t>(bits));
  AppendGifImageData(indices, bits, out);
  out.push_back(0x3B);  // trailer
  return out;
}

}  // namespace kavelin::image
