// Writers of small BMP and GIF files, so that the decoder's fixtures are made by the tests
// themselves, byte by byte, with nothing from another program.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "image/raster.hpp"
#include "support/file_io.hpp"

namespace kavelin::image::testing {

using Bytes = std::vector<std::uint8_t>;

enum class BmpKind { k1Bit, k4Bit, k8Bit, k24Bit, kRle4, kRle8 };

struct IndexedImage {
  int width = 0, height = 0;
  std::vector<Colour> palette;
  std::vector<std::uint8_t> indices;  // row by row from the top

  Colour ColourAt(int x, int y) const {
    return palette[indices[static_cast<std::size_t>(y * width + x)]];
  }
  Raster ToRaster() const;
};

// A palette image as a BMP of the given kind; 24-bit writes the colours themselves.
// `topDown` stores the rows from the top (negative height); RLE kinds ignore it.
Bytes Bmp(const IndexedImage& image, BmpKind kind, bool topDown = false);

struct GifFrame {
  IndexedImage image;
  int transparentIndex = -1;
};
// A GIF of one or more full-screen frames sharing the first frame's palette.
Bytes Gif(const std::vector<GifFrame>& frames);

// Any BMP, field by field, for the decoder's comparisons with another reader.
struct BmpLayout {
  int width = 0, height = 0;  // a negative height stores the rows from the top
  int bits = 8;
  std::uint32_t compression = 0;  // 0 none, 1 RLE8, 2 RLE4, 3 bit fields
  std::uint32_t headerSize = 40;  // 12 (OS/2), 40, 56, 108 or 124
  std::vector<Colour> table;      // the colour table as written
  std::uint32_t coloursUsed = 0;  // the header's count of it; 0 means 1 << bits
  std::uint32_t masks[4] = {};    // red, green, blue, alpha bit fields
  Bytes pixels;                   // exactly as stored
};
Bytes BmpFile(const BmpLayout& layout);

// Any single-frame GIF, field by field. `indices` are in display order, row by row; the
// writer interlaces them and compresses with the real LZW encoder.
struct GifLayout {
  int screenWidth = 0, screenHeight = 0;
  std::vector<Colour> globalTable, localTable;  // empty: none; sizes are powers of two
  int backgroundIndex = 0;
  int transparentIndex = -1;
  int left = 0, top = 0, width = 0, height = 0;
  bool interlaced = false;
  int minCodeSize = 2;
  std::vector<std::uint8_t> indices;
  Bytes compressed;           // when not empty, the image data as it is, instead of `indices`
  bool commentFirst = false;  // a comment and a looping extension before the frame
  bool secondFrame = false;   // another frame after it, which must be ignored
};
Bytes GifFile(const GifLayout& layout);

void WriteFile(const std::filesystem::path& file, const Bytes& bytes);

using test_support::TempFolder;

}  // namespace kavelin::image::testing
