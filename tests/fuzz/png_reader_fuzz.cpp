// The PNG reader on arbitrary bytes, and the intake's cell test on what it accepts: the
// same bytes always give the same picture, within the size cap; a picture written again
// by our own encoder reads back as the same pixels; a partly transparent cell pixel
// refuses the template, naming a pixel that is both.
#include <algorithm>
#include <cstdint>
#include <iterator>
#include <span>

#include "fuzz_check.hpp"
#include "image/decoder.hpp"
#include "image/encoder.hpp"
#include "image/intake.hpp"
#include "image/sprite_cells.hpp"

namespace {

using namespace kavelin;

// Pictures past this are not written again: the encoder's best compression of a large
// picture would take most of a run.
constexpr std::size_t kReencodedPixels = 256 * 256;

bool AnyInCell(const image::Raster& picture, int offset) {
  for (const image::Cell& cell : image::kSpriteCells) {
    for (int y = cell.y; y < cell.y + cell.h; ++y) {
      for (int x = cell.x; x < cell.x + cell.w; ++x) {
        if (picture.PartlyTransparent(x + offset, y + offset)) return true;
      }
    }
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  const auto decoded = image::DecodePng(bytes);
  const bool isPng =
      size >= std::size(image::kPngSignature) &&
      std::equal(std::begin(image::kPngSignature), std::end(image::kPngSignature), data);
  if (!isPng) {
    KAVELIN_FUZZ_CHECK(!decoded);
    return 0;
  }
  // The dispatch by content takes it to the same reader; and nothing of the picture may
  // come from memory the reader did not fill, so the same bytes give the same picture.
  KAVELIN_FUZZ_CHECK(image::DecodeImage(bytes) == decoded);
  if (!decoded) return 0;
  KAVELIN_FUZZ_CHECK(decoded->Width() >= 1 && decoded->Width() <= image::kMaxImageSide);
  KAVELIN_FUZZ_CHECK(decoded->Height() >= 1 && decoded->Height() <= image::kMaxImageSide);

  if (decoded->Pixels().size() <= kReencodedPixels) {
    const auto again = image::EncodePng(*decoded);
    KAVELIN_FUZZ_CHECK(again.has_value());
    const auto reread = image::DecodePng(*again);
    KAVELIN_FUZZ_CHECK(
        reread && reread->Pixels().size() == decoded->Pixels().size() &&
        std::equal(reread->Pixels().begin(), reread->Pixels().end(), decoded->Pixels().begin()));
    KAVELIN_FUZZ_CHECK(!reread->AnyPartlyTransparent());
  }

  // The intake, from the decoded picture as if from a file; it wants a regular file to
  // hand the decoder, which never reads it.
  image::TemplateImage t;
  const image::ImageStatus status =
      image::LoadTemplateImage(t, "/proc/self/exe", [&decoded](const auto&) { return decoded; });
  const int offset = decoded->At(175, 1) == image::kBackground ? -1 : 0;
  if (const auto& pixel = t.partlyTransparentPixel) {
    KAVELIN_FUZZ_CHECK(status == image::ImageStatus::kInvalidFile);
    KAVELIN_FUZZ_CHECK(decoded->PartlyTransparent(pixel->at.x, pixel->at.y));
    KAVELIN_FUZZ_CHECK(pixel->cell >= 1 &&
                       pixel->cell <= static_cast<int>(image::kSpriteCells.size()));
    const image::Cell& cell = image::kSpriteCells[static_cast<std::size_t>(pixel->cell - 1)];
    KAVELIN_FUZZ_CHECK(pixel->at.x >= cell.x + offset && pixel->at.x < cell.x + cell.w + offset &&
                       pixel->at.y >= cell.y + offset && pixel->at.y < cell.y + cell.h + offset);
  } else {
    KAVELIN_FUZZ_CHECK(!AnyInCell(*decoded, offset));
    KAVELIN_FUZZ_CHECK(status == image::ImageStatus::kOk ||
                       status == image::ImageStatus::kTooManyColours);
  }
  return 0;
}
