#include "app/user_files.hpp"

#include <algorithm>
#include <numeric>

#include "app/qt_text.hpp"
#include "command/user_file.hpp"
#include "image/intake.hpp"
#include "image/palette_panel.hpp"
#include "patch/patch_writer.hpp"
#include "patch/template_export.hpp"

namespace kavelin::app {

FileBytes ReadUserFile(const std::filesystem::path& file, std::uintmax_t limit) {
  command::UserFileBytes read = command::ReadUserFile(file, limit);
  FileBytes result;
  result.bytes = std::move(read.bytes);
  if (read.problem == command::ReadProblem::kTooLarge) {
    result.error = Q(u"ファイルが大きすぎます。");
  } else if (read.problem != command::ReadProblem::kNone) {
    result.error = Q(u"ファイルが読み込めません。");
  }
  return result;
}

QString WriteFailureReason(int error) {
  return Q(patch::FileErrorReason(error));
}

image::Raster RasterForExport(const image::Raster& loaded) {
  int width = std::min(patch::kExportWidth, loaded.Width());
  int height = std::min(patch::kExportHeight, loaded.Height());
  for (int y = 0; y < loaded.Height(); ++y) {
    for (int x = 0; x < loaded.Width(); ++x) {
      if (loaded.At(x, y) == image::kBackground) continue;
      width = std::max(width, x + 1);
      height = std::max(height, y + 1);
    }
  }
  image::Raster out(width, height, image::kBackground);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      out.Set(x, y, loaded.At(x, y));
  return out;
}

std::array<int, 16> SwapArrangement(const std::vector<sheet::PaletteSwap>& swaps) {
  std::array<int, 16> order{};
  std::iota(order.begin(), order.end(), 0);
  for (const auto& [a, b] : swaps) {
    if (a >= 0 && a < 16 && b >= 0 && b < 16)
      std::swap(order[static_cast<std::size_t>(a)], order[static_cast<std::size_t>(b)]);
  }
  return order;
}

std::vector<sheet::PaletteSwap> ApplyPaletteSwaps(image::TemplateImage& image,
                                                  const std::vector<sheet::PaletteSwap>& swaps) {
  // A tick left waiting would pair with the first entry of the first swap.
  for (int i = 0; i < image::kPaletteSize; ++i)
    image::SetPaletteToggle(image, i, false);
  std::vector<sheet::PaletteSwap> made;
  for (const auto& [a, b] : swaps) {
    if (image.palette.IsEmpty(a) || image.palette.IsEmpty(b)) continue;
    if (a != b) {
      image::SetPaletteToggle(image, a, true);
      image::SetPaletteToggle(image, b, true);
    }
    made.emplace_back(a, b);
  }
  return made;
}

}  // namespace kavelin::app
