// Taking a file in as the template: the signature check and the load.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

#include "image/decoder.hpp"
#include "image/raster.hpp"
#include "image/status.hpp"
#include "image/template_image.hpp"

namespace kavelin::image {

// The picture area, in pixels.
inline constexpr int kPictureAreaWidth = 187;
inline constexpr int kPictureAreaHeight = 137;

// The image at 1:1 from (0, 0) on the background. The raster is never smaller than the
// picture area, so that the red mark drawn around a pixel near the image's edge is kept
// where the area would show it, instead of being dropped off a raster the image's size.
Raster DisplayedRaster(const Raster& image);

// The browse and drop check: kOk for an openable file starting "GIF", "BM" or with the
// eight bytes of PNG's signature (exactly, case-sensitive; the name plays no part),
// kCannotRead when it cannot be opened (a folder, a pipe or a device counts as
// unreadable), kInvalidFile otherwise.
ImageStatus CheckImageSignature(const std::filesystem::path& file);
// The same test on a file's first bytes.
bool HasImageSignature(std::span<const std::uint8_t> bytes);

// Loads `file` as the template: unticks and disables the preview, decodes, sets the
// origin offset from pixel (175, 1), extracts the palette. `path` is set only on kOk and
// emptied on any failure. A decoding failure leaves the previous picture and palette, and
// so does a partly transparent pixel inside a sprite cell (kInvalidFile, the pixel kept in
// `partlyTransparentPixel`); one outside the cells is taken like any pixel there.
// kTooManyColours leaves the new picture with the red mark and every entry toggle
// disabled. Only regular files are handed to the decoder.
ImageStatus LoadTemplateImage(TemplateImage& image, const std::filesystem::path& file,
                              const ImageDecoder& decode);

// The same load, and the signature check before it, from a file's bytes; `name` (never
// opened) becomes `path`, which names the patch.
ImageStatus LoadTemplateBytes(TemplateImage& image, std::span<const std::uint8_t> bytes,
                              const std::filesystem::path& name);

// Loads a template no file holds, drawn from an opened patch, as the current template:
// the load's steps after decoding. `path` stays empty and `fromPatch` is set on kOk.
ImageStatus LoadDrawnTemplate(TemplateImage& image, const Raster& drawn);

// Browse and drop: the signature check, then the load. A rejected file empties `path`
// and leaves everything else as it was.
ImageStatus TakeInTemplateFile(TemplateImage& image, const std::filesystem::path& file,
                               const ImageDecoder& decode);

}  // namespace kavelin::image
