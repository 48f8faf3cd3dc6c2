#include "app/user_files.hpp"

#include <algorithm>

#include "app/qt_text.hpp"
#include "app/window_texts.hpp"
#include "patch/patch_writer.hpp"
#include "patch/template_export.hpp"

namespace kavelin::app {

std::vector<FileType> ImageFileTypes() {
  return {{Q(kGifTypeName), QStringLiteral("gif")},
          {Q(kBmpTypeName), QStringLiteral("bmp")},
          {Q(kPngTypeName), QStringLiteral("png")}};
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

}  // namespace kavelin::app
