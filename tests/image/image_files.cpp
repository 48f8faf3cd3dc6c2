#include "image_files.hpp"

#include <fstream>
#include <string>

#include "image/encoder.hpp"

namespace kavelin::image::testing {
namespace {

void Put16(Bytes& out, unsigned v) {
  out.push_back(static_cast<std::uint8_t>(v & 0xFF));
  out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}
void Put32(Bytes& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

int BitsOf(BmpKind kind) {
  switch (kind) {
    case BmpKind::k1Bit:
      return 1;
    case BmpKind::k4Bit:
    case BmpKind::kRle4:
      return 4;
    case BmpKind::k8Bit:
    case BmpKind::kRle8:
      return 8;
    case BmpKind::k24Bit:
      return 24;
  }
  return 8;
}

Bytes Row(const IndexedImage& image, int y, BmpKind kind) {
  Bytes row;
  const int bits = BitsOf(kind);
  if (bits == 24) {
    for (int x = 0; x < image.width; ++x) {
      const Colour c = image.ColourAt(x, y);
      row.insert(row.end(), {Blue(c), Green(c), Red(c)});
    }
  } else {
    const int perByte = 8 / bits;
    row.assign(static_cast<std::size_t>((image.width + perByte - 1) / perByte), 0);
    for (int x = 0; x < image.width; ++x) {
      const unsigned index = image.indices[static_cast<std::size_t>(y * image.width + x)];
      const int shift = 8 - bits * (x % perByte + 1);
      row[static_cast<std::size_t>(x / perByte)] |= static_cast<std::uint8_t>(index << shift);
    }
  }
  while (row.size() % 4 != 0)
    row.push_back(0);
  return row;
}

// Runs of one index per row, then end of line; end of bitmap after the last row.
Bytes Rle(const IndexedImage& image, bool fourBit) {
  Bytes out;
  for (int y = image.height - 1; y >= 0; --y) {
    int x = 0;
    while (x < image.width) {
      const std::uint8_t index = image.indices[static_cast<std::size_t>(y * image.width + x)];
      int run = 1;
      while (x + run < image.width && run < 255 &&
             image.indices[static_cast<std::size_t>(y * image.width + x + run)] == index)
        ++run;
      out.push_back(static_cast<std::uint8_t>(run));
      out.push_back(fourBit ? static_cast<std::uint8_t>(index << 4 | index) : index);
      x += run;
    }
    out.insert(out.end(), {0, 0});
  }
  out.insert(out.end(), {0, 1});
  return out;
}

Bytes BmpFile(int width, int height, int bits, unsigned compression,
              const std::vector<Colour>& palette, const Bytes& pixels) {
  Bytes out = {'B', 'M'};
  const auto offset = static_cast<std::uint32_t>(14 + 40 + 4 * palette.size());
  Put32(out, offset + static_cast<std::uint32_t>(pixels.size()));
  Put32(out, 0);
  Put32(out, offset);
  Put32(out, 40);
  Put32(out, static_cast<std::uint32_t>(width));
  Put32(out, static_cast<std::uint32_t>(height));
  Put16(out, 1);
  Put16(out, static_cast<unsigned>(bits));
  Put32(out, compression);
  Put32(out, static_cast<std::uint32_t>(pixels.size()));
  Put32(out, 2835);
  Put32(out, 2835);
  Put32(out, static_cast<std::uint32_t>(palette.size()));
  Put32(out, 0);
  for (const Colour c : palette)
    out.insert(out.end(), {Blue(c), Green(c), Red(c), 0});
  out.insert(out.end(), pixels.begin(), pixels.end());
  return out;
}

// LZW with literal codes only: a clear code before the table grows past the starting
// code width keeps every code the same width.
Bytes LzwLiterals(const std::vector<std::uint8_t>& indices, int minCodeSize) {
  const unsigned clear = 1u << minCodeSize, end = clear + 1;
  const int width = minCodeSize + 1;
  const std::size_t perClear = (std::size_t{1} << minCodeSize) - 2;
  Bytes packed;
  std::uint32_t buffer = 0;
  int filled = 0;
  const auto emit = [&](unsigned code) {
    buffer |= code << filled;
    filled += width;
    while (filled >= 8) {
      packed.push_back(static_cast<std::uint8_t>(buffer & 0xFF));
      buffer >>= 8;
      filled -= 8;
    }
  };
  for (std::size_t i = 0; i < indices.size(); ++i) {
    if (i % perClear == 0) emit(clear);
    emit(indices[i]);
  }
  emit(end);
  if (filled > 0) packed.push_back(static_cast<std::uint8_t>(buffer & 0xFF));

  Bytes blocks;
  for (std::size_t at = 0; at < packed.size(); at += 255) {
    const std::size_t n = std::min<std::size_t>(255, packed.size() - at);
    blocks.push_back(static_cast<std::uint8_t>(n));
    blocks.insert(blocks.end(), packed.begin() + static_cast<std::ptrdiff_t>(at),
                  packed.begin() + static_cast<std::ptrdiff_t>(at + n));
  }
  blocks.push_back(0);
  return blocks;
}

Bytes GifHeader(int width, int height, const std::vector<Colour>& palette, int& sizeBits) {
  sizeBits = 1;
  while ((std::size_t{1} << sizeBits) < palette.size())
    ++sizeBits;
  Bytes out = {'G', 'I', 'F', '8', '9', 'a'};
  Put16(out, static_cast<unsigned>(width));
  Put16(out, static_cast<unsigned>(height));
  out.push_back(static_cast<std::uint8_t>(0x80 | 0x70 | (sizeBits - 1)));
  out.insert(out.end(), {0, 0});
  for (std::size_t i = 0; i < (std::size_t{1} << sizeBits); ++i) {
    const Colour c = i < palette.size() ? palette[i] : 0;
    out.insert(out.end(), {Red(c), Green(c), Blue(c)});
  }
  return out;
}

}  // namespace

Raster IndexedImage::ToRaster() const {
  Raster raster(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x)
      raster.Set(x, y, ColourAt(x, y));
  }
  return raster;
}

Bytes Bmp(const IndexedImage& image, BmpKind kind, bool topDown) {
  const int bits = BitsOf(kind);
  const std::vector<Colour> palette = bits == 24 ? std::vector<Colour>{} : image.palette;
  if (kind == BmpKind::kRle4 || kind == BmpKind::kRle8) {
    return BmpFile(image.width, image.height, bits, kind == BmpKind::kRle8 ? 1 : 2, palette,
                   Rle(image, kind == BmpKind::kRle4));
  }
  Bytes pixels;
  for (int i = 0; i < image.height; ++i) {
    const Bytes row = Row(image, topDown ? i : image.height - 1 - i, kind);
    pixels.insert(pixels.end(), row.begin(), row.end());
  }
  return BmpFile(image.width, topDown ? -image.height : image.height, bits, 0, palette, pixels);
}

Bytes Gif(const std::vector<GifFrame>& frames) {
  const IndexedImage& first = frames.front().image;
  int sizeBits = 0;
  Bytes out = GifHeader(first.width, first.height, first.palette, sizeBits);
  for (const GifFrame& frame : frames) {
    const bool transparent = frame.transparentIndex >= 0;
    out.insert(out.end(), {0x21, 0xF9, 0x04, static_cast<std::uint8_t>(transparent ? 1 : 0), 10, 0,
                           static_cast<std::uint8_t>(transparent ? frame.transparentIndex : 0), 0});
    out.push_back(0x2C);
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, static_cast<unsigned>(frame.image.width));
    Put16(out, static_cast<unsigned>(frame.image.height));
    out.push_back(0);
    const int minCodeSize = std::max(2, sizeBits);
    out.push_back(static_cast<std::uint8_t>(minCodeSize));
    const Bytes data = LzwLiterals(frame.image.indices, minCodeSize);
    out.insert(out.end(), data.begin(), data.end());
  }
  out.push_back(0x3B);
  return out;
}

Bytes BmpFile(const BmpLayout& l) {
  const bool core = l.headerSize == 12;
  const bool trailingMasks = l.headerSize == 40 && l.compression == 3;
  const auto tableBytes = static_cast<std::uint32_t>(l.table.size() * (core ? 3 : 4));
  const std::uint32_t offset = 14 + l.headerSize + (trailingMasks ? 12 : 0) + tableBytes;
  Bytes out = {'B', 'M'};
  Put32(out, offset + static_cast<std::uint32_t>(l.pixels.size()));
  Put32(out, 0);
  Put32(out, offset);
  Put32(out, l.headerSize);
  if (core) {
    Put16(out, static_cast<unsigned>(l.width) & 0xFFFF);
    Put16(out, static_cast<unsigned>(l.height) & 0xFFFF);
    Put16(out, 1);
    Put16(out, static_cast<unsigned>(l.bits));
  } else {
    Put32(out, static_cast<std::uint32_t>(l.width));
    Put32(out, static_cast<std::uint32_t>(l.height));
    Put16(out, 1);
    Put16(out, static_cast<unsigned>(l.bits));
    Put32(out, l.compression);
    Put32(out, static_cast<std::uint32_t>(l.pixels.size()));
    Put32(out, 2835);
    Put32(out, 2835);
    Put32(out, l.coloursUsed);
    Put32(out, 0);
    const std::size_t masks = trailingMasks ? 3 : l.headerSize >= 56 ? 4 : 0;
    for (std::size_t i = 0; i < masks; ++i)
      Put32(out, l.masks[i]);
    // The rest of a version 4 or 5 header: colour space, end points, gamma, intent, profile.
    out.resize(14 + l.headerSize + (trailingMasks ? 12 : 0), 0);
  }
  for (const Colour c : l.table) {
    out.insert(out.end(), {Blue(c), Green(c), Red(c)});
    if (!core) out.push_back(0);
  }
  out.insert(out.end(), l.pixels.begin(), l.pixels.end());
  return out;
}

Bytes GifFile(const GifLayout& l) {
  const auto tableBits = [](const std::vector<Colour>& table) {
    int bits = 1;
    while ((std::size_t{2} << (bits - 1)) < table.size())
      ++bits;
    return bits;
  };
  const auto putTable = [](Bytes& out, const std::vector<Colour>& table) {
    for (const Colour c : table)
      out.insert(out.end(), {Red(c), Green(c), Blue(c)});
  };
  Bytes out = {'G', 'I', 'F', '8', '9', 'a'};
  Put16(out, static_cast<unsigned>(l.screenWidth));
  Put16(out, static_cast<unsigned>(l.screenHeight));
  const int globalBits = tableBits(l.globalTable);
  out.push_back(static_cast<std::uint8_t>((l.globalTable.empty() ? 0 : 0x80) | 0x70 |
                                          (l.globalTable.empty() ? 0 : globalBits - 1)));
  out.insert(out.end(), {static_cast<std::uint8_t>(l.backgroundIndex), 0});
  putTable(out, l.globalTable);
  if (l.commentFirst) {
    out.insert(out.end(), {0x21, 0xFE, 5, 'h', 'e', 'l', 'l', 'o', 0});
    out.insert(out.end(), {0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3,
                           1, 0, 0, 0});
  }
  const bool transparent = l.transparentIndex >= 0;
  out.insert(out.end(), {0x21, 0xF9, 0x04, static_cast<std::uint8_t>(transparent ? 1 : 0), 10, 0,
                         static_cast<std::uint8_t>(transparent ? l.transparentIndex : 0), 0});
  const auto frame = [&](const std::vector<std::uint8_t>& indices) {
    out.push_back(0x2C);
    Put16(out, static_cast<unsigned>(l.left));
    Put16(out, static_cast<unsigned>(l.top));
    Put16(out, static_cast<unsigned>(l.width));
    Put16(out, static_cast<unsigned>(l.height));
    const int localBits = tableBits(l.localTable);
    out.push_back(static_cast<std::uint8_t>((l.localTable.empty() ? 0 : 0x80 | (localBits - 1)) |
                                            (l.interlaced ? 0x40 : 0)));
    putTable(out, l.localTable);
    out.push_back(static_cast<std::uint8_t>(l.minCodeSize));
    if (l.compressed.empty()) {
      AppendGifImageData(indices, static_cast<unsigned>(l.minCodeSize), out);
    } else {
      out.insert(out.end(), l.compressed.begin(), l.compressed.end());
    }
  };
  std::vector<std::uint8_t> stored;
  if (l.interlaced) {
    for (const auto& [start, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}}) {
      for (int y = start; y < l.height; y += step) {
        const auto row = l.indices.begin() + static_cast<std::ptrdiff_t>(y) * l.width;
        stored.insert(stored.end(), row, row + l.width);
      }
    }
  } else {
    stored = l.indices;
  }
  frame(stored);
  if (l.secondFrame) {
    std::vector<std::uint8_t> other(stored.size(), 1);
    frame(other);
  }
  out.push_back(0x3B);
  return out;
}

void WriteFile(const std::filesystem::path& file, const Bytes& bytes) {
  std::ofstream out(file, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

}  // namespace kavelin::image::testing
