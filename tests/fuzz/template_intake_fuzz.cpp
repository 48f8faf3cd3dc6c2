// Template intake on arbitrary bytes: the signature check, the decoding, the origin test
// and the palette extraction, by the road of browse and drop and, for a file that fails
// the signature, by the command line's road, which skips it.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "fuzz_check.hpp"
#include "image/decoder.hpp"
#include "image/intake.hpp"
#include "patch/sprite_tiles.hpp"

namespace {

namespace fs = std::filesystem;
using namespace kavelin;

// One folder per process, removed at exit; the decoder reads from a real file.
const fs::path& Folder() {
  static const fs::path folder = [] {
    std::string pattern = (fs::temp_directory_path() / "kavelin-fuzz-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    std::atexit([] {
      std::error_code ignored;
      fs::remove_all(Folder(), ignored);
    });
    return fs::path(pattern);
  }();
  return folder;
}

void CheckOutcome(const image::TemplateImage& t, image::ImageStatus status, const fs::path& file) {
  if (status == image::ImageStatus::kOk) {
    KAVELIN_FUZZ_CHECK(t.path == file);
    KAVELIN_FUZZ_CHECK(t.originOffset == 0 || t.originOffset == -1);
    KAVELIN_FUZZ_CHECK(t.displayed.Width() >= image::kPictureAreaWidth &&
                       t.displayed.Height() >= image::kPictureAreaHeight);
    KAVELIN_FUZZ_CHECK(t.palette.entries[image::kReservedEntry] == image::Rgb(0, 0, 0));
    KAVELIN_FUZZ_CHECK(t.toggles.preview.enabled);
    // The same file always gives the same picture: nothing of it may come from memory
    // the decoder did not fill.
    const auto again = image::DecodeImageFile(file);
    KAVELIN_FUZZ_CHECK(again && image::DisplayedRaster(*again) == t.loaded);
    // An accepted template must always give the sprite part of a patch.
    patch::EncodeSpriteTiles(t.displayed, t.originOffset, t.palette);
    return;
  }
  KAVELIN_FUZZ_CHECK(t.path.empty());
  KAVELIN_FUZZ_CHECK(!t.toggles.preview.enabled);
  if (status == image::ImageStatus::kTooManyColours) {
    KAVELIN_FUZZ_CHECK(t.overflowPixel.has_value());
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const fs::path file = Folder() / (bytes.starts_with("BM") ? "template.bmp" : "template.gif");
  {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(size));
    if (!out) std::abort();
  }

  image::TemplateImage t;
  t.path = "previous.gif";
  const image::ImageStatus taken = image::TakeInTemplateFile(t, file, image::DecodeImageFile);
  CheckOutcome(t, taken, file);
  if (taken == image::ImageStatus::kInvalidFile && !bytes.starts_with("GIF") &&
      !bytes.starts_with("BM")) {
    image::TemplateImage fromCommandLine;
    const auto loaded = image::LoadTemplateImage(fromCommandLine, file, image::DecodeImageFile);
    CheckOutcome(fromCommandLine, loaded, file);
  }
  return 0;
}
