// Template pictures: GIF, BMP and PNG files turned into plain rasters. The decoders need no
// GUI toolkit, so that the command line and the road run without one: GIF and BMP are our
// own, PNG goes through stb_image (which needs no zlib either). The core still takes the
// decoder as a function, so that tests can hand it fakes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>

#include "image/raster.hpp"

namespace kavelin::image {

// The largest template file that is read at all; a 4096×4096 BMP of 24 bits fits.
inline constexpr std::size_t kMaxTemplateFileBytes = std::size_t{80} << 20;

// Larger images are refused before they are decoded: a hostile header must not be able
// to make us allocate gigabytes.
inline constexpr int kMaxImageSide = 4096;

// Turns a file into the image's own pixels at 1:1, exactly the image's size. Nothing when
// the file cannot be opened or decoded, or is wider or taller than kMaxImageSide.
//
// Transparency, the same in every format: a fully transparent pixel reads as kBackground
// (RGB 212, 208, 200, the picture area's own background), whatever colour the file stored
// under it. A partly transparent pixel (alpha neither 0 nor 255, which only PNG brings
// here) reads as its stored colour, alpha ignored, and is marked on the raster
// (Raster::PartlyTransparent), so that the intake can refuse it inside a sprite cell.
using ImageDecoder = std::function<std::optional<Raster>(const std::filesystem::path&)>;

// A GIF (its first frame), a BMP or a PNG, recognised by content, not by name. Other
// formats are refused, so that the command line, which skips the signature check, cannot
// bring in what browse and drop would reject.
std::optional<Raster> DecodeImage(std::span<const std::uint8_t> bytes);

// The ImageDecoder of both front ends: reads the file and decodes it with DecodeImage.
// Throws std::bad_alloc when there is not enough memory, which is no fault of the file's.
std::optional<Raster> DecodeImageFile(const std::filesystem::path& file);

// The formats on their own; each refuses the others' bytes.
std::optional<Raster> DecodeGif(std::span<const std::uint8_t> bytes);
std::optional<Raster> DecodeBmp(std::span<const std::uint8_t> bytes);

// The eight bytes every PNG file starts with.
inline constexpr std::uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

// A PNG of every colour type and bit depth the format has, interlaced or not, taken as
// an 8-bit picture: 16-bit samples keep their high byte (alpha too, before it is judged),
// greys of 1, 2 and 4 bits widen by repeating their bits, and the stored values are the
// colours: gAMA, cHRM, sRGB and iCCP change nothing. A tRNS chunk's colour or palette
// alphas count as the pixels' alpha. Refused beside a damaged file (a CRC that does not
// match, chunks out of order or cut short, an unknown critical chunk) are a palette index
// past the palette and image data that inflates to far more than the picture holds. The
// header's size is checked against kMaxImageSide before anything is allocated for it.
std::optional<Raster> DecodePng(std::span<const std::uint8_t> bytes);

}  // namespace kavelin::image
