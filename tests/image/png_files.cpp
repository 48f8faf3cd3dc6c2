#include "png_files.hpp"

#include <algorithm>
#include <cstdlib>

#include "image/deflate.hpp"

namespace kavelin::image::testing {
namespace {

void PutBig32(Bytes& out, std::uint32_t v) {
  for (int i = 3; i >= 0; --i)
    out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// One row of samples packed at the bit depth, most significant bits first.
Bytes Packed(const PngLayout& l, const std::vector<std::uint16_t>& samples) {
  Bytes out;
  if (l.bitDepth == 16) {
    for (const std::uint16_t s : samples) {
      out.push_back(static_cast<std::uint8_t>(s >> 8));
      out.push_back(static_cast<std::uint8_t>(s & 0xFF));
    }
    return out;
  }
  int filled = 0;
  for (const std::uint16_t s : samples) {
    if (filled == 0) out.push_back(0);
    filled += l.bitDepth;
    out.back() |= static_cast<std::uint8_t>(s << (8 - filled));
    if (filled == 8) filled = 0;
  }
  return out;
}

int Paeth(int a, int b, int c) {
  const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
  return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

// The rows of one pass (or of the whole picture), each filtered after its filter byte.
void PutRows(const PngLayout& l, int x0, int y0, int dx, int dy, int& rowNumber, Bytes& out) {
  const int channels = PngChannels(l.colourType);
  const std::size_t bpp = std::max(1, channels * l.bitDepth / 8);
  Bytes prior;
  for (int y = y0; y < l.height; y += dy) {
    std::vector<std::uint16_t> samples;
    for (int x = x0; x < l.width; x += dx) {
      for (int c = 0; c < channels; ++c)
        samples.push_back(l.samples[static_cast<std::size_t>((y * l.width + x) * channels + c)]);
    }
    if (samples.empty()) return;
    const Bytes row = Packed(l, samples);
    if (prior.empty()) prior.assign(row.size(), 0);
    const int filter = l.filter >= 0 ? l.filter : rowNumber % 5;
    ++rowNumber;
    out.push_back(static_cast<std::uint8_t>(filter));
    for (std::size_t i = 0; i < row.size(); ++i) {
      const int a = i >= bpp ? row[i - bpp] : 0, b = prior[i], c = i >= bpp ? prior[i - bpp] : 0;
      const int predicted = filter == 1   ? a
                            : filter == 2 ? b
                            : filter == 3 ? (a + b) / 2
                            : filter == 4 ? Paeth(a, b, c)
                                          : 0;
      out.push_back(static_cast<std::uint8_t>(row[i] - predicted));
    }
    prior = row;
  }
}

}  // namespace

int PngChannels(int colourType) {
  switch (colourType) {
    case kPngGreyAlpha:
      return 2;
    case kPngTruecolour:
      return 3;
    case kPngTruecolourAlpha:
      return 4;
    default:
      return 1;
  }
}

Bytes Big16(unsigned value) {
  return {static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value & 0xFF)};
}

Bytes PngSignature() {
  return {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
}

Bytes PngChunk(const std::string& type, const Bytes& data) {
  Bytes out;
  PutBig32(out, static_cast<std::uint32_t>(data.size()));
  out.insert(out.end(), type.begin(), type.end());
  out.insert(out.end(), data.begin(), data.end());
  PutBig32(out, Crc32(std::span(out).subspan(4, data.size() + 4)));
  return out;
}

Bytes PngHeaderData(const PngLayout& l) {
  Bytes out;
  PutBig32(out, static_cast<std::uint32_t>(l.width));
  PutBig32(out, static_cast<std::uint32_t>(l.height));
  out.insert(out.end(),
             {static_cast<std::uint8_t>(l.bitDepth), static_cast<std::uint8_t>(l.colourType), 0, 0,
              static_cast<std::uint8_t>(l.interlaced ? 1 : 0)});
  return out;
}

Bytes Compressed(const Bytes& raw) {
  return ZlibStream(raw).value();
}

Bytes PngImageData(const PngLayout& l) {
  Bytes raw;
  int rowNumber = 0;
  if (!l.interlaced) {
    PutRows(l, 0, 0, 1, 1, rowNumber, raw);
  } else {
    constexpr int kPasses[7][4] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                   {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
    for (const auto& p : kPasses)
      PutRows(l, p[0], p[1], p[2], p[3], rowNumber, raw);
  }
  return Compressed(raw);
}

Bytes PngFile(const PngLayout& l) {
  Bytes out = PngSignature();
  const auto put = [&out](const std::string& type, const Bytes& data) {
    const Bytes chunk = PngChunk(type, data);
    out.insert(out.end(), chunk.begin(), chunk.end());
  };
  put("IHDR", PngHeaderData(l));
  for (const auto& [type, data] : l.extraChunks)
    put(type, data);
  if (!l.palette.empty()) {
    Bytes palette;
    for (const Colour c : l.palette)
      palette.insert(palette.end(), {Red(c), Green(c), Blue(c)});
    put("PLTE", palette);
  }
  if (l.hasTransparency) put("tRNS", l.transparency);
  const Bytes data = PngImageData(l);
  const std::size_t step = l.dataChunkSize == 0 ? data.size() : l.dataChunkSize;
  for (std::size_t at = 0; at < data.size(); at += step)
    put("IDAT",
        Bytes(data.begin() + static_cast<std::ptrdiff_t>(at),
              data.begin() + static_cast<std::ptrdiff_t>(std::min(data.size(), at + step))));
  put("IEND", {});
  return out;
}

}  // namespace kavelin::image::testing
