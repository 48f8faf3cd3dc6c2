// Template pictures: GIF and BMP files turned into plain rasters. The decoder is our own so
// that the command line and the road run without a GUI toolkit; the core still takes the
// decoder as a function, so that tests can hand it fakes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>

#include "image/raster.hpp"

namespace kavelin::image {

// Larger images are refused before they are decoded: a hostile header must not be able
// to make us allocate gigabytes.
inline constexpr int kMaxImageSide = 4096;

// Turns a file into the image's own pixels at 1:1, exactly the image's size, a fully
// transparent pixel reading as kBackground. Nothing when the file cannot be opened or
// decoded, or is wider or taller than kMaxImageSide.
using ImageDecoder = std::function<std::optional<Raster>(const std::filesystem::path&)>;

// A GIF (its first frame) or a BMP, recognised by content, not by name. Other formats are
// refused, so that the command line, which skips the signature check, cannot bring in what
// browse and drop would reject.
std::optional<Raster> DecodeImage(std::span<const std::uint8_t> bytes);

// The ImageDecoder of both front ends: reads the file and decodes it with DecodeImage.
// Throws std::bad_alloc when there is not enough memory, which is no fault of the file's.
std::optional<Raster> DecodeImageFile(const std::filesystem::path& file);

// The two formats on their own; each refuses the other's bytes.
std::optional<Raster> DecodeGif(std::span<const std::uint8_t> bytes);
std::optional<Raster> DecodeBmp(std::span<const std::uint8_t> bytes);

}  // namespace kavelin::image
