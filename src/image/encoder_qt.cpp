// Platform door: image files written through Qt's image writers (BMP, PNG); GIF, which Qt
// cannot write, through our own encoder.
#include "image/encoder_qt.hpp"

#include <QtCore/QBuffer>
#include <QtGui/QImage>
#include <algorithm>
#include <cctype>
#include <string>

#include "image/gif_writer.hpp"

namespace kavelin::image {

std::optional<std::vector<std::uint8_t>> EncodeImageFile(const Raster& raster,
                                                         const std::filesystem::path& name) {
  std::string extension = name.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (extension == ".gif") return EncodeGif(raster);
  if (extension != ".bmp" && extension != ".png") return std::nullopt;
  if (raster.Width() <= 0 || raster.Height() <= 0) return std::nullopt;

  QImage picture(raster.Width(), raster.Height(), QImage::Format_RGB32);
  for (int y = 0; y < raster.Height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
    for (int x = 0; x < raster.Width(); ++x) {
      const Colour c = raster.At(x, y);
      line[x] = qRgb(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                     static_cast<int>((c >> 16) & 0xFF));
    }
  }
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!picture.save(&buffer, extension == ".bmp" ? "BMP" : "PNG")) return std::nullopt;
  return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

}  // namespace kavelin::image
