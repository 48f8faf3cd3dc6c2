// PNG decoding. stb_image inflates, unfilters, de-interlaces and unpacks the samples; all
// the rest is ours. The chunks are walked and checked first (CRCs, order, the header's
// size against kMaxImageSide), so that a hostile file is refused before stb allocates
// anything, and stb is then handed a stream of our own making that holds nothing but the
// header and the image data: no colour chunk can reach it, and an indexed picture comes
// out as its indices, so that palette, tRNS and 16-bit samples follow decoder.hpp's rules
// here rather than stb's (which reads an index past the palette from uninitialised
// memory, and would inflate a deflate stream of any length).
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>
#include <new>
#include <vector>

#include "image/decoder.hpp"
#include "image/deflate.hpp"

namespace {

// What stb may allocate for one picture, and how it ended. A single request past
// `largest` is data the picture has no room for (a deflate stream that inflates on and
// on), and is refused like any bad file; a real shortage of memory is told apart, as it
// is no fault of the file's.
struct StbAllowance {
  std::size_t largest = 0;
  bool outOfMemory = false;
};
thread_local StbAllowance* tAllowance = nullptr;

void* StbAllocate(void* old, std::size_t size) {
  StbAllowance* const allowance = tAllowance;
  if (allowance != nullptr && size > allowance->largest) return nullptr;
  void* const p = std::realloc(old, size == 0 ? 1 : size);
  if (p == nullptr && allowance != nullptr) allowance->outOfMemory = true;
  return p;
}

void StbFree(void* p) {
  std::free(p);
}

}  // namespace

// Only the PNG reader, from memory we hand over, with no global state of its own to set,
// and the same code on every target (no SIMD paths), so that a later web build decodes
// alike. Third-party code: its warnings are not ours to fix.
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_NO_SIMD
#define STBI_NO_FAILURE_STRINGS
#define STBI_MAX_DIMENSIONS 4096
#define STBI_MALLOC(size) StbAllocate(nullptr, size)
#define STBI_REALLOC(p, size) StbAllocate(p, size)
#define STBI_FREE(p) StbFree(p)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wconversion"
#pragma GCC diagnostic ignored "-Wsign-conversion"
#pragma GCC diagnostic ignored "-Wshadow"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#include <stb_image.h>
#pragma GCC diagnostic pop

namespace kavelin::image {
namespace {

static_assert(STBI_MAX_DIMENSIONS == kMaxImageSide);

using Span = std::span<const std::uint8_t>;

std::uint32_t Big32(Span b, std::size_t at) {
  return static_cast<std::uint32_t>(b[at]) << 24 | static_cast<std::uint32_t>(b[at + 1]) << 16 |
         static_cast<std::uint32_t>(b[at + 2]) << 8 | b[at + 3];
}

std::uint32_t Big16(Span b, std::size_t at) {
  return static_cast<std::uint32_t>(b[at]) << 8 | b[at + 1];
}

void PutBig32(std::uint8_t* out, std::uint32_t value) {
  for (int i = 0; i < 4; ++i)
    out[i] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
}

enum ColourType : int {
  kGrey = 0,
  kTruecolour = 2,
  kIndexed = 3,
  kGreyAlpha = 4,
  kTruecolourAlpha = 6,
};

int ChannelsOf(int type) {
  switch (type) {
    case kGrey:
    case kIndexed:
      return 1;
    case kGreyAlpha:
      return 2;
    case kTruecolour:
      return 3;
    default:
      return 4;
  }
}

bool DepthAllowed(int type, int depth) {
  switch (type) {
    case kGrey:
      return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
    case kIndexed:
      return depth == 1 || depth == 2 || depth == 4 || depth == 8;
    case kTruecolour:
    case kGreyAlpha:
    case kTruecolourAlpha:
      return depth == 8 || depth == 16;
    default:
      return false;
  }
}

// What the chunks say, pointing into the file.
struct Layout {
  std::array<std::uint8_t, 13> header{};  // IHDR's data as stored
  int width = 0, height = 0, depth = 0, type = 0;
  bool interlaced = false;
  Span palette;  // PLTE's data; empty when there is none
  bool hasTransparency = false;
  Span transparency;         // tRNS's data
  std::vector<Span> data;    // each IDAT's data, in order
  std::size_t dataSize = 0;  // all of it
};

bool Is(Span type, const char (&name)[5]) {
  return std::memcmp(type.data(), name, 4) == 0;
}

bool ReadHeader(Span data, Layout& l) {
  if (data.size() != 13) return false;
  std::copy(data.begin(), data.end(), l.header.begin());
  const std::uint32_t width = Big32(data, 0), height = Big32(data, 4);
  // The cap comes before anything is sized from the header.
  if (width == 0 || height == 0 || width > static_cast<std::uint32_t>(kMaxImageSide) ||
      height > static_cast<std::uint32_t>(kMaxImageSide))
    return false;
  l.width = static_cast<int>(width);
  l.height = static_cast<int>(height);
  l.depth = data[8];
  l.type = data[9];
  if (!DepthAllowed(l.type, l.depth)) return false;
  // Compression and filter method 0 are the only ones there are; interlace 0 or 1.
  if (data[10] != 0 || data[11] != 0 || data[12] > 1) return false;
  l.interlaced = data[12] == 1;
  return true;
}

// The chunks from the signature to IEND, each checked against its CRC. Ancillary chunks
// other than tRNS are skipped, the colour chunks among them: the stored values are the
// colours. Nothing for a file cut anywhere before IEND's end.
std::optional<Layout> ReadLayout(Span b) {
  if (b.size() < std::size(kPngSignature) ||
      !std::equal(std::begin(kPngSignature), std::end(kPngSignature), b.begin()))
    return std::nullopt;
  Layout l;
  std::size_t at = std::size(kPngSignature);
  bool first = true, dataEnded = false, seenPalette = false;
  for (;;) {
    if (b.size() - at < 12) return std::nullopt;
    const std::uint32_t length = Big32(b, at);
    if (length > 0x7FFFFFFFu || length > b.size() - at - 12) return std::nullopt;
    const Span type = b.subspan(at + 4, 4), data = b.subspan(at + 8, length);
    if (Crc32(b.subspan(at + 4, std::size_t{length} + 4)) != Big32(b, at + 8 + length))
      return std::nullopt;
    for (const std::uint8_t c : type) {
      if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) return std::nullopt;
    }
    at += std::size_t{length} + 12;
    const bool critical = (type[0] & 0x20) == 0;

    if (first) {
      if (!Is(type, "IHDR") || !ReadHeader(data, l)) return std::nullopt;
      first = false;
    } else if (Is(type, "IEND")) {
      break;
    } else if (Is(type, "IDAT")) {
      // The image data is one run of chunks, after the palette an indexed picture needs.
      if (dataEnded || (l.type == kIndexed && !seenPalette)) return std::nullopt;
      l.data.push_back(data);
      l.dataSize += length;
    } else {
      if (!l.data.empty()) dataEnded = true;
      if (Is(type, "IHDR")) return std::nullopt;
      if (Is(type, "PLTE")) {
        if (seenPalette || !l.data.empty() || length == 0 || length % 3 != 0 || length > 768)
          return std::nullopt;
        seenPalette = true;
        l.palette = data;
      } else if (Is(type, "tRNS")) {
        if (l.hasTransparency || !l.data.empty()) return std::nullopt;
        if (l.type == kIndexed && !seenPalette) return std::nullopt;
        l.hasTransparency = true;
        l.transparency = data;
      } else if (critical) {
        return std::nullopt;  // a chunk the picture depends on that we cannot read
      }
    }
  }
  if (l.data.empty()) return std::nullopt;
  // stb takes the data as one chunk, whose length must fit 31 bits.
  if (l.dataSize > 0x7FFFFFFFu) return std::nullopt;

  if (l.type != kIndexed) l.palette = {};  // a truecolour picture's suggested palette
  if (l.hasTransparency) {
    const std::size_t size = l.transparency.size();
    switch (l.type) {
      case kIndexed:
        if (size > l.palette.size() / 3) return std::nullopt;
        break;
      case kGrey:
        if (size != 2) return std::nullopt;
        break;
      case kTruecolour:
        if (size != 6) return std::nullopt;
        break;
      default:
        // A picture with an alpha channel has no use for tRNS; it changes nothing.
        l.hasTransparency = false;
        break;
    }
  }
  return l;
}

// The bytes stb reads: our pieces one after another, without copying the image data.
class Stream {
 public:
  void Add(Span piece) {
    if (!piece.empty()) pieces_.push_back(piece);
  }
  int Read(char* out, int size) {
    int done = 0;
    while (done < size && piece_ < pieces_.size()) {
      const Span p = pieces_[piece_];
      const std::size_t n = std::min(p.size() - at_, static_cast<std::size_t>(size - done));
      std::memcpy(out + done, p.data() + at_, n);
      done += static_cast<int>(n);
      Advance(n);
    }
    return done;
  }
  void Skip(int n) {
    std::size_t left = n > 0 ? static_cast<std::size_t>(n) : 0;
    while (left > 0 && piece_ < pieces_.size()) {
      const std::size_t step = std::min(left, pieces_[piece_].size() - at_);
      left -= step;
      Advance(step);
    }
  }
  bool AtEnd() const { return piece_ >= pieces_.size(); }

 private:
  void Advance(std::size_t n) {
    at_ += n;
    if (at_ == pieces_[piece_].size()) ++piece_, at_ = 0;
  }

  std::vector<Span> pieces_;
  std::size_t piece_ = 0, at_ = 0;
};

// The filtered rows' size, every pass of an interlaced picture counted.
std::size_t RawSize(const Layout& l) {
  const std::size_t bitsPerPixel = static_cast<std::size_t>(ChannelsOf(l.type)) * l.depth;
  const auto rows = [&](std::size_t w, std::size_t h) {
    return w == 0 || h == 0 ? 0 : ((w * bitsPerPixel + 7) / 8 + 1) * h;
  };
  const auto w = static_cast<std::size_t>(l.width), h = static_cast<std::size_t>(l.height);
  if (!l.interlaced) return rows(w, h);
  constexpr int kStart[7][2] = {{0, 0}, {4, 0}, {0, 4}, {2, 0}, {0, 2}, {1, 0}, {0, 1}};
  constexpr int kStep[7][2] = {{8, 8}, {8, 8}, {4, 8}, {4, 4}, {2, 4}, {2, 2}, {1, 2}};
  std::size_t total = 0;
  for (int p = 0; p < 7; ++p) {
    const auto x0 = static_cast<std::size_t>(kStart[p][0]),
               y0 = static_cast<std::size_t>(kStart[p][1]);
    const auto dx = static_cast<std::size_t>(kStep[p][0]),
               dy = static_cast<std::size_t>(kStep[p][1]);
    total += rows(w > x0 ? (w - x0 + dx - 1) / dx : 0, h > y0 ? (h - y0 + dy - 1) / dy : 0);
  }
  return total;
}

struct StbFreer {
  void operator()(void* p) const { stbi_image_free(p); }
};

// The samples as stb leaves them: one per channel, a pixel's channels together, rows from
// the top; a grey or an index of fewer than 8 bits is scaled to 0-255 (times 255, 85 or
// 17), 16-bit samples are native integers.
std::unique_ptr<void, StbFreer> DecodeSamples(const Layout& l) {
  std::array<std::uint8_t, 8 + 25> head{};
  std::copy(std::begin(kPngSignature), std::end(kPngSignature), head.begin());
  PutBig32(&head[8], 13);
  std::memcpy(&head[12], "IHDR", 4);
  std::copy(l.header.begin(), l.header.end(), head.begin() + 16);
  // As a grey picture of the same depth an indexed one gives its indices; the palette is
  // applied afterwards, where an index past it can be refused.
  if (l.type == kIndexed) head[16 + 9] = kGrey;
  std::array<std::uint8_t, 8> dataHead{};
  PutBig32(&dataHead[0], static_cast<std::uint32_t>(l.dataSize));
  std::memcpy(&dataHead[4], "IDAT", 4);
  // stb reads no CRC (ours were checked), so the made-up chunks carry zeros.
  constexpr std::array<std::uint8_t, 16> kTail = {0, 0, 0, 0, 0, 0, 0, 0, 'I', 'E', 'N', 'D'};

  Stream stream;
  stream.Add(head);
  stream.Add(dataHead);
  for (const Span piece : l.data)
    stream.Add(piece);
  stream.Add(kTail);

  // The inflated rows, the output and an interlaced picture's passes are each at most
  // about the picture's own size; stb grows the inflated buffer by doubling, so one
  // doubling past the rows is allowed for data with a little to spare.
  const std::size_t samples = static_cast<std::size_t>(l.width) *
                              static_cast<std::size_t>(l.height) *
                              static_cast<std::size_t>(ChannelsOf(l.type));
  const std::size_t output = samples * (l.depth == 16 ? 2 : 1);
  StbAllowance allowance{std::max(l.dataSize, 2 * (RawSize(l) + output)) + 4096};
  tAllowance = &allowance;
  struct Reset {
    ~Reset() { tAllowance = nullptr; }
  } reset;

  const stbi_io_callbacks callbacks = {
      [](void* user, char* out, int size) { return static_cast<Stream*>(user)->Read(out, size); },
      [](void* user, int n) { static_cast<Stream*>(user)->Skip(n); },
      [](void* user) { return static_cast<Stream*>(user)->AtEnd() ? 1 : 0; },
  };
  int width = 0, height = 0, channels = 0;
  void* decoded = l.depth == 16 ? static_cast<void*>(stbi_load_16_from_callbacks(
                                      &callbacks, &stream, &width, &height, &channels, 0))
                                : static_cast<void*>(stbi_load_from_callbacks(
                                      &callbacks, &stream, &width, &height, &channels, 0));
  std::unique_ptr<void, StbFreer> owned(decoded);
  if (!owned) {
    if (allowance.outOfMemory) throw std::bad_alloc();
    return nullptr;
  }
  if (width != l.width || height != l.height || channels != ChannelsOf(l.type)) return nullptr;
  return owned;
}

// The 8-bit picture each pixel gives.
struct Pixel {
  Colour colour = kBackground;
  std::uint8_t alpha = 255;
};

class Painter {
 public:
  explicit Painter(Raster& out) : out_(out), to_(out.Pixels().data()) {}
  void Put(std::size_t i, Pixel p) {
    if (p.alpha == 0) {
      to_[i] = kBackground;
      return;
    }
    to_[i] = p.colour;
    if (p.alpha != 255) {
      const auto width = static_cast<std::size_t>(out_.Width());
      out_.MarkPartlyTransparent(static_cast<int>(i % width), static_cast<int>(i / width));
    }
  }

 private:
  Raster& out_;
  Colour* to_;
};

constexpr std::uint8_t Grey8ScaleOf(int depth) {
  return depth == 1 ? 255 : depth == 2 ? 85 : depth == 4 ? 17 : 1;
}

// Pictures of 8 bits a sample or fewer with one channel: every sample value maps through
// one table. Nothing when an index lies past the palette, which PNG counts as an error.
std::optional<Raster> FromOneChannel8(const std::uint8_t* s, const Layout& l) {
  const std::uint8_t scale = Grey8ScaleOf(l.depth);
  std::array<Pixel, 256> table{};
  std::array<bool, 256> valid{};
  if (l.type == kIndexed) {
    const std::size_t entries = l.palette.size() / 3;
    for (std::size_t i = 0; i < entries && i * scale < 256; ++i) {
      const std::size_t v = i * scale;
      table[v].colour = Rgb(l.palette[3 * i], l.palette[3 * i + 1], l.palette[3 * i + 2]);
      table[v].alpha = l.hasTransparency && i < l.transparency.size() ? l.transparency[i] : 255;
      valid[v] = true;
    }
  } else {
    for (std::size_t v = 0; v < 256; v += scale) {
      const auto g = static_cast<std::uint8_t>(v);
      table[v].colour = Rgb(g, g, g);
      valid[v] = true;
    }
    // A key outside the depth's range matches no pixel.
    if (l.hasTransparency) {
      const std::uint32_t key = Big16(l.transparency, 0);
      if (key < (1u << l.depth)) table[key * scale].alpha = 0;
    }
  }
  Raster out(l.width, l.height);
  Painter painter(out);
  const std::size_t count = out.Pixels().size();
  for (std::size_t i = 0; i < count; ++i) {
    if (!valid[s[i]]) return std::nullopt;
    painter.Put(i, table[s[i]]);
  }
  return out;
}

// Every other picture, sample by sample; 16-bit samples are keyed at full depth and then
// cut to their high byte.
template <typename Sample>
Raster FromSamples(const Sample* s, const Layout& l) {
  const int channels = ChannelsOf(l.type);
  const bool colour = l.type == kTruecolour || l.type == kTruecolourAlpha;
  const bool alpha = l.type == kGreyAlpha || l.type == kTruecolourAlpha;
  constexpr int kShift = sizeof(Sample) == 2 ? 8 : 0;
  const auto eight = [](Sample v) { return static_cast<std::uint8_t>(v >> kShift); };
  std::array<std::uint32_t, 3> key{};
  if (l.hasTransparency) {
    for (int c = 0; c < (colour ? 3 : 1); ++c)
      key[static_cast<std::size_t>(c)] = Big16(l.transparency, 2 * static_cast<std::size_t>(c));
  }
  Raster out(l.width, l.height);
  Painter painter(out);
  const std::size_t count = out.Pixels().size();
  for (std::size_t i = 0; i < count; ++i, s += channels) {
    Pixel p;
    if (colour) {
      p.colour = Rgb(eight(s[0]), eight(s[1]), eight(s[2]));
      if (l.hasTransparency && s[0] == key[0] && s[1] == key[1] && s[2] == key[2]) p.alpha = 0;
    } else {
      p.colour = Rgb(eight(s[0]), eight(s[0]), eight(s[0]));
      if (l.hasTransparency && s[0] == key[0]) p.alpha = 0;
    }
    if (alpha) p.alpha = eight(s[channels - 1]);
    painter.Put(i, p);
  }
  return out;
}

}  // namespace

std::optional<Raster> DecodePng(std::span<const std::uint8_t> bytes) {
  const std::optional<Layout> layout = ReadLayout(bytes);
  if (!layout) return std::nullopt;
  // Deflate spends at least two bits on every 258 bytes it repeats, so data this short
  // cannot hold the rows the header claims: refused before anything is sized from it.
  if (RawSize(*layout) / 1032 > layout->dataSize + 16) return std::nullopt;
  const auto samples = DecodeSamples(*layout);
  if (!samples) return std::nullopt;
  if (layout->depth == 16)
    return FromSamples(static_cast<const std::uint16_t*>(samples.get()), *layout);
  const auto* s = static_cast<const std::uint8_t*>(samples.get());
  if (ChannelsOf(layout->type) == 1) return FromOneChannel8(s, *layout);
  return FromSamples(s, *layout);
}

}  // namespace kavelin::image
