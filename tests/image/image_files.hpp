// Writers of small BMP and GIF files, so that the decoder's fixtures are made by the tests
// themselves, byte by byte, with nothing from another program.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "image/raster.hpp"

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

void WriteFile(const std::filesystem::path& file, const Bytes& bytes);

// A fresh folder for one test, removed with the object.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::filesystem::path& Path() const { return path_; }
  std::filesystem::path operator/(const std::filesystem::path& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

}  // namespace kavelin::image::testing
