// The picture decoder is a platform door: the core takes it as a function, so that it
// never depends on a GUI toolkit and tests can hand it fakes.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>

#include "image/raster.hpp"

namespace kavelin::image {

// Larger images are refused before they are decoded: a hostile header must not be able
// to make us allocate gigabytes.
inline constexpr int kMaxImageSide = 4096;

// Turns a file into the image's own pixels at 1:1, exactly the image's size, a fully
// transparent pixel reading as kBackground. Nothing when the file cannot be opened or
// decoded, or is wider or taller than kMaxImageSide.
using ImageDecoder = std::function<std::optional<Raster>(const std::filesystem::path&)>;

}  // namespace kavelin::image
