#include "image/intake.hpp"

#include <algorithm>
#include <array>
#include <exception>
#include <iterator>
#include <new>
#include <optional>
#include <system_error>

#include "image/palette_panel.hpp"
#include "image/poison_preview.hpp"
#include "image/sprite_cells.hpp"
#include "io/read_file.hpp"

namespace kavelin::image {
namespace {

// Pipes and devices would block or never end, and a folder is no file; none of them can
// be a template.
bool IsRegularFile(const std::filesystem::path& file) {
  std::error_code error;
  return !file.empty() && std::filesystem::is_regular_file(file, error);
}

// Where the margined layout has its first gap column; off a margin-less image it reads
// as the background.
constexpr Point kOriginProbe = {175, 1};

// Off the image the probe reads as the background, so the decoded picture tells the
// offset as well as the displayed one.
int OriginOffsetOf(const Raster& picture) {
  return picture.At(kOriginProbe.x, kOriginProbe.y) == kBackground ? -1 : 0;
}

// The first partly transparent pixel of the cells, in scan order, under the picture's own
// origin offset.
std::optional<PartlyTransparentPixel> PartlyTransparentInCell(const Raster& picture) {
  if (!picture.AnyPartlyTransparent()) return std::nullopt;
  const int offset = OriginOffsetOf(picture);
  for (std::size_t n = 0; n < kSpriteCells.size(); ++n) {
    const Cell& cell = kSpriteCells[n];
    for (int y = cell.y + offset; y < cell.y + cell.h + offset; ++y) {
      for (int x = cell.x + offset; x < cell.x + cell.w + offset; ++x) {
        if (picture.PartlyTransparent(x, y))
          return PartlyTransparentPixel{{x, y}, static_cast<int>(n) + 1};
      }
    }
  }
  return std::nullopt;
}

}  // namespace

Raster DisplayedRaster(const Raster& image) {
  Raster shown(std::max(image.Width(), kPictureAreaWidth),
               std::max(image.Height(), kPictureAreaHeight));
  const auto from = image.Pixels();
  const auto to = shown.Pixels();
  const auto width = static_cast<std::size_t>(image.Width());
  const auto stride = static_cast<std::size_t>(shown.Width());
  for (std::size_t y = 0; y < static_cast<std::size_t>(image.Height()); ++y)
    std::copy_n(from.begin() + static_cast<std::ptrdiff_t>(y * width), width,
                to.begin() + static_cast<std::ptrdiff_t>(y * stride));
  return shown;
}

bool HasImageSignature(std::span<const std::uint8_t> bytes) {
  const std::string_view read(reinterpret_cast<const char*>(bytes.data()),
                              std::min(bytes.size(), std::size(kPngSignature)));
  const std::string_view png(reinterpret_cast<const char*>(kPngSignature),
                             std::size(kPngSignature));
  return read.starts_with("GIF") || read.starts_with("BM") || read == png;
}

ImageStatus CheckImageSignature(const std::filesystem::path& file) {
  const io::FileRead head = io::ReadFileStart(file, std::size(kPngSignature));
  if (!head) return ImageStatus::kCannotRead;
  return HasImageSignature(*head) ? ImageStatus::kOk : ImageStatus::kInvalidFile;
}

namespace {

// The load's steps after decoding: display, origin offset, palette. On failure the
// template is no longer current.
ImageStatus ShowTemplate(TemplateImage& image, const Raster& decoded) {
  image.loaded = DisplayedRaster(decoded);
  image.displayed = image.loaded;
  image.pictureWidth = decoded.Width();
  image.pictureHeight = decoded.Height();
  image.overflowPixel.reset();
  image.originOffset = OriginOffsetOf(image.displayed);

  if (ExtractPalette(image) != ImageStatus::kOk) {
    image.path.clear();
    for (Toggle& toggle : image.toggles.entries)
      toggle.enabled = false;
    return ImageStatus::kTooManyColours;
  }
  image.toggles.preview.enabled = true;
  return ImageStatus::kOk;
}

}  // namespace

namespace {

// The load's steps before decoding: the preview off and disabled, nothing drawn from a patch.
void StartLoad(TemplateImage& image) {
  SetPoisonPreview(image, false);
  image.toggles.preview.enabled = false;
  image.fromPatch = false;
  image.partlyTransparentPixel.reset();
}

// Decodes with `decode`, taking an exception for a refused picture and running out of
// memory as such.
template <typename Decode>
std::optional<Raster> Decoded(Decode decode, bool& outOfMemory) {
  try {
    return decode();
  } catch (const std::bad_alloc&) {
    outOfMemory = true;
  } catch (const std::exception&) {
  }
  return std::nullopt;
}

// The load's steps after decoding; `path` is set to `name` only on kOk.
ImageStatus TakeDecoded(TemplateImage& image, const std::optional<Raster>& decoded,
                        bool outOfMemory, const std::filesystem::path& name) {
  image.path.clear();
  if (outOfMemory) return ImageStatus::kOutOfMemory;
  // The decoder is trusted for the size cap too, but an oversized raster would cost the
  // same memory twice more here.
  if (!decoded || decoded->Width() <= 0 || decoded->Height() <= 0 ||
      decoded->Width() > kMaxImageSide || decoded->Height() > kMaxImageSide) {
    return ImageStatus::kInvalidFile;
  }
  if (auto pixel = PartlyTransparentInCell(*decoded)) {
    image.partlyTransparentPixel = pixel;
    return ImageStatus::kInvalidFile;
  }
  ImageStatus status = ImageStatus::kOk;
  try {
    status = ShowTemplate(image, *decoded);
  } catch (const std::bad_alloc&) {
    image.path.clear();
    return ImageStatus::kOutOfMemory;
  }
  if (status == ImageStatus::kOk) image.path = name;
  return status;
}

}  // namespace

ImageStatus LoadTemplateImage(TemplateImage& image, const std::filesystem::path& file,
                              const ImageDecoder& decode) {
  StartLoad(image);
  bool outOfMemory = false;
  std::optional<Raster> decoded;
  if (IsRegularFile(file) && decode) decoded = Decoded([&] { return decode(file); }, outOfMemory);
  return TakeDecoded(image, decoded, outOfMemory, file);
}

ImageStatus LoadTemplateBytes(TemplateImage& image, std::span<const std::uint8_t> bytes,
                              const std::filesystem::path& name) {
  StartLoad(image);
  if (!HasImageSignature(bytes)) {
    image.path.clear();
    return ImageStatus::kInvalidFile;
  }
  bool outOfMemory = false;
  const std::optional<Raster> decoded = Decoded([&] { return DecodeImage(bytes); }, outOfMemory);
  return TakeDecoded(image, decoded, outOfMemory, name.empty() ? "template" : name);
}

ImageStatus LoadDrawnTemplate(TemplateImage& image, const Raster& drawn) {
  SetPoisonPreview(image, false);
  image.toggles.preview.enabled = false;
  image.path.clear();
  image.partlyTransparentPixel.reset();
  const ImageStatus status = ShowTemplate(image, drawn);
  image.fromPatch = status == ImageStatus::kOk;
  return status;
}

ImageStatus TakeInTemplateFile(TemplateImage& image, const std::filesystem::path& file,
                               const ImageDecoder& decode) {
  const ImageStatus signature = CheckImageSignature(file);
  if (signature != ImageStatus::kOk) {
    image.path.clear();
    image.fromPatch = false;
    image.partlyTransparentPixel.reset();
    return signature;
  }
  return LoadTemplateImage(image, file, decode);
}

}  // namespace kavelin::image
