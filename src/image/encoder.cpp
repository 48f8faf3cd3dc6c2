#include "image/encoder.hpp"

#include <algorithm>
#include <cctype>
#include <string>
#include <unordered_map>

#include "image/byte_order.hpp"
#include "image/deflate.hpp"

namespace kavelin::image {
namespace {

using Bytes = std::vector<std::uint8_t>;

void PutBig(Bytes& out, std::uint32_t value) {
  for (int i = 3; i >= 0; --i)
    out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// A PNG chunk: length, type, data, and the CRC of type and data.
void PutChunk(Bytes& out, const char (&type)[5], const Bytes& data) {
  PutBig(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t typeAt = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  PutBig(out, Crc32(std::span(out).subspan(typeAt, data.size() + 4)));
}

}  // namespace

std::optional<IndexedColours> IndexColours(const Raster& raster) {
  IndexedColours out;
  std::unordered_map<Colour, std::uint8_t> indexOf;
  out.indices.reserve(raster.Pixels().size());
  // Neighbouring pixels are mostly the same colour: remember the last one.
  Colour last = 0;
  std::uint8_t lastIndex = 0;
  bool haveLast = false;
  for (const Colour c : raster.Pixels()) {
    if (!haveLast || c != last) {
      auto it = indexOf.find(c);
      if (it == indexOf.end()) {
        if (out.colours.size() == 256) return std::nullopt;
        it = indexOf.emplace(c, static_cast<std::uint8_t>(out.colours.size())).first;
        out.colours.push_back(c);
      }
      last = c, lastIndex = it->second, haveLast = true;
    }
    out.indices.push_back(lastIndex);
  }
  return out;
}

std::optional<Bytes> EncodeBmp(const Raster& raster) {
  const int width = raster.Width(), height = raster.Height();
  if (width <= 0 || height <= 0) return std::nullopt;
  const auto indexed = IndexColours(raster);
  const int bits = indexed ? 8 : 24;
  const std::size_t stride = (static_cast<std::size_t>(width) * bits + 31) / 32 * 4;
  const std::uint32_t tableSize =
      indexed ? static_cast<std::uint32_t>(indexed->colours.size()) * 4 : 0;
  const std::uint32_t pixelsAt = 14 + 40 + tableSize;
  const std::size_t fileSize = pixelsAt + stride * static_cast<std::size_t>(height);
  if (fileSize > 0xFFFFFFFFu) return std::nullopt;

  Bytes out = {'B', 'M'};
  out.reserve(fileSize);
  PutLittle(out, static_cast<std::uint32_t>(fileSize), 4);
  PutLittle(out, 0, 4);
  PutLittle(out, pixelsAt, 4);
  PutLittle(out, 40, 4);
  PutLittle(out, static_cast<std::uint32_t>(width), 4);
  PutLittle(out, static_cast<std::uint32_t>(height), 4);  // bottom-up, as every reader expects
  PutLittle(out, 1, 2);
  PutLittle(out, static_cast<std::uint32_t>(bits), 2);
  PutLittle(out, 0, 4);  // uncompressed
  PutLittle(out, static_cast<std::uint32_t>(stride * static_cast<std::size_t>(height)), 4);
  PutLittle(out, 2835, 4);  // 72 dots per inch
  PutLittle(out, 2835, 4);
  PutLittle(out, tableSize / 4, 4);
  PutLittle(out, 0, 4);
  if (indexed) {
    for (const Colour c : indexed->colours)
      out.insert(out.end(), {Blue(c), Green(c), Red(c), 0});
  }
  for (int y = height - 1; y >= 0; --y) {
    const std::size_t rowAt = out.size();
    for (int x = 0; x < width; ++x) {
      if (indexed) {
        out.push_back(indexed->indices[static_cast<std::size_t>(y) * width + x]);
      } else {
        const Colour c = raster.At(x, y);
        out.insert(out.end(), {Blue(c), Green(c), Red(c)});
      }
    }
    out.resize(rowAt + stride, 0);
  }
  return out;
}

std::optional<Bytes> EncodePng(const Raster& raster) {
  const int width = raster.Width(), height = raster.Height();
  if (width <= 0 || height <= 0) return std::nullopt;
  const auto indexed = IndexColours(raster);

  // Each row is a filter byte (0: none) and the pixels.
  const std::size_t rowBytes = static_cast<std::size_t>(width) * (indexed ? 1 : 3);
  Bytes rows;
  rows.reserve((rowBytes + 1) * static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y) {
    rows.push_back(0);
    for (int x = 0; x < width; ++x) {
      if (indexed) {
        rows.push_back(indexed->indices[static_cast<std::size_t>(y) * width + x]);
      } else {
        const Colour c = raster.At(x, y);
        rows.insert(rows.end(), {Red(c), Green(c), Blue(c)});
      }
    }
  }
  const auto packed = ZlibStream(rows);
  if (!packed) return std::nullopt;

  Bytes out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  Bytes header;
  PutBig(header, static_cast<std::uint32_t>(width));
  PutBig(header, static_cast<std::uint32_t>(height));
  header.insert(header.end(), {8, static_cast<std::uint8_t>(indexed ? 3 : 2), 0, 0, 0});
  PutChunk(out, "IHDR", header);
  if (indexed) {
    Bytes palette;
    for (const Colour c : indexed->colours)
      palette.insert(palette.end(), {Red(c), Green(c), Blue(c)});
    PutChunk(out, "PLTE", palette);
  }
  PutChunk(out, "IDAT", *packed);
  PutChunk(out, "IEND", {});
  return out;
}

std::optional<Bytes> EncodeImageFile(const Raster& raster, const std::filesystem::path& name) {
  std::string extension = name.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (extension == ".gif") return EncodeGif(raster);
  if (extension == ".bmp") return EncodeBmp(raster);
  if (extension == ".png") return EncodePng(raster);
  return std::nullopt;
}

}  // namespace kavelin::image
