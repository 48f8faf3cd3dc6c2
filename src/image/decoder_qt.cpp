#include "image/decoder_qt.hpp"

#include <QtCore/QFile>
#include <QtGui/QImage>
#include <QtGui/QImageReader>
#include <cstdio>
#include <cstdlib>

#include "image/decoder.hpp"

namespace kavelin::image {
namespace {

// Opened through the C library by the native path, so that no file name is lost to a
// text conversion; QFile closes it.
std::FILE* OpenNative(const std::filesystem::path& file) {
#ifdef _WIN32
  return _wfopen(file.c_str(), L"rb");
#else
  return std::fopen(file.c_str(), "rb");
#endif
}

}  // namespace

std::optional<Raster> DecodeImageFile(const std::filesystem::path& file) {
  std::FILE* handle = OpenNative(file);
  if (handle == nullptr) return std::nullopt;
  QFile device;
  if (!device.open(handle, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
    std::fclose(handle);
    return std::nullopt;
  }

  QImageReader reader(&device);
  reader.setDecideFormatFromContent(true);
  const QByteArray format = reader.format();
  if (format != "gif" && format != "bmp") return std::nullopt;
  // The header's size, before any pixel memory is taken; a reader that cannot tell it
  // reports -1 x -1. A top-down bitmap reports a negative height.
  const QSize size = reader.size();
  const int width = size.width(), height = std::abs(size.height());
  if (width <= 0 || height == 0 || width > kMaxImageSide || height > kMaxImageSide)
    return std::nullopt;

  QImage decoded;
  if (!reader.read(&decoded) || decoded.isNull()) return std::nullopt;
  if (decoded.width() > kMaxImageSide || decoded.height() > kMaxImageSide) return std::nullopt;
  decoded = decoded.convertToFormat(QImage::Format_ARGB32);
  if (decoded.isNull()) return std::nullopt;

  Raster raster(decoded.width(), decoded.height());
  for (int y = 0; y < decoded.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(decoded.constScanLine(y));
    for (int x = 0; x < decoded.width(); ++x) {
      const QRgb p = line[x];
      // Only a fully transparent pixel lets the background through; the picture area
      // draws everything else opaque.
      raster.Set(x, y,
                 qAlpha(p) == 0
                     ? kBackground
                     : Rgb(static_cast<std::uint8_t>(qRed(p)), static_cast<std::uint8_t>(qGreen(p)),
                           static_cast<std::uint8_t>(qBlue(p))));
    }
  }
  return raster;
}

}  // namespace kavelin::image
