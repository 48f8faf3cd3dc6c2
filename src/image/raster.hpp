// The displayed raster of the picture area: the decoded template at 1:1 from (0, 0), with
// the picture area's background everywhere the image does not reach.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace kavelin::image {

// A colour value laid out 0x00BBGGRR (red in the low byte).
using Colour = std::uint32_t;

// What the picture area shows where the image does not cover it: RGB 212, 208, 200.
inline constexpr Colour kBackground = 0xC8D0D4;

constexpr Colour Rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return static_cast<Colour>(r) | static_cast<Colour>(g) << 8 | static_cast<Colour>(b) << 16;
}
constexpr std::uint8_t Red(Colour c) {
  return static_cast<std::uint8_t>(c & 0xFF);
}
constexpr std::uint8_t Green(Colour c) {
  return static_cast<std::uint8_t>((c >> 8) & 0xFF);
}
constexpr std::uint8_t Blue(Colour c) {
  return static_cast<std::uint8_t>((c >> 16) & 0xFF);
}

class Raster {
 public:
  Raster() = default;
  Raster(int width, int height, Colour fill = kBackground)
      : width_(width < 0 ? 0 : width),
        height_(height < 0 ? 0 : height),
        pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), fill) {}

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

  // Any point, on the image or not; off the image it is the background.
  Colour At(int x, int y) const { return Contains(x, y) ? pixels_[Index(x, y)] : kBackground; }
  // Writes off the image are dropped: there is nothing there to change.
  void Set(int x, int y, Colour c) {
    if (Contains(x, y)) pixels_[Index(x, y)] = c;
  }

  std::span<const Colour> Pixels() const { return pixels_; }
  std::span<Colour> Pixels() { return pixels_; }

  // Pixels the file drew partly transparent (alpha neither none nor full). They read as
  // their own colour; the intake refuses one inside a sprite cell, where a pixel must be
  // one colour. Only the decoder marks them, and none is marked off the image.
  bool PartlyTransparent(int x, int y) const {
    return !partlyTransparent_.empty() && Contains(x, y) && partlyTransparent_[Index(x, y)];
  }
  bool AnyPartlyTransparent() const { return !partlyTransparent_.empty(); }
  void MarkPartlyTransparent(int x, int y) {
    if (!Contains(x, y)) return;
    // Most pictures have none: the marks take memory only once there is one.
    if (partlyTransparent_.empty()) partlyTransparent_.assign(pixels_.size(), false);
    partlyTransparent_[Index(x, y)] = true;
  }

  bool operator==(const Raster&) const = default;

 private:
  std::size_t Index(int x, int y) const {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
           static_cast<std::size_t>(x);
  }

  int width_ = 0;
  int height_ = 0;
  std::vector<Colour> pixels_;
  std::vector<bool> partlyTransparent_;  // empty, or one flag per pixel
};

}  // namespace kavelin::image
