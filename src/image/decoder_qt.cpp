#include "image/decoder_qt.hpp"

#include <QtCore/QFile>
#include <QtGui/QImage>
#include <QtGui/QImageReader>
#include <array>
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
  const int headerWidth = size.width(), headerHeight = std::abs(size.height());
  if (headerWidth <= 0 || headerHeight == 0 || headerWidth > kMaxImageSide ||
      headerHeight > kMaxImageSide)
    return std::nullopt;

  QImage decoded;
  if (!reader.read(&decoded) || decoded.isNull()) return std::nullopt;
  if (decoded.width() > kMaxImageSide || decoded.height() > kMaxImageSide) return std::nullopt;
  // Only a fully transparent pixel lets the background through; the picture area draws
  // everything else opaque.
  const auto colourOf = [](QRgb p) {
    return qAlpha(p) == 0
               ? kBackground
               : Rgb(static_cast<std::uint8_t>(qRed(p)), static_cast<std::uint8_t>(qGreen(p)),
                     static_cast<std::uint8_t>(qBlue(p)));
  };
  const int width = decoded.width(), height = decoded.height();
  Raster raster(width, height);
  Colour* out = raster.Pixels().data();
  if (decoded.format() == QImage::Format_Indexed8) {
    // Templates are palette images: map the colour table once, not every pixel.
    std::array<Colour, 256> table;
    table.fill(kBackground);
    const QList<QRgb> colours = decoded.colorTable();
    for (qsizetype i = 0; i < colours.size() && i < 256; ++i) {
      table[static_cast<std::size_t>(i)] = colourOf(colours[i]);
    }
    for (int y = 0; y < height; ++y) {
      const uchar* line = decoded.constScanLine(y);
      for (int x = 0; x < width; ++x)
        *out++ = table[line[x]];
    }
    return raster;
  }
  // GIFs come as RGB32 or ARGB32, which are read as they are; anything else is converted.
  if (decoded.format() != QImage::Format_RGB32 && decoded.format() != QImage::Format_ARGB32) {
    decoded = decoded.convertToFormat(QImage::Format_ARGB32);
    if (decoded.isNull()) return std::nullopt;
  }
  for (int y = 0; y < height; ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(decoded.constScanLine(y));
    for (int x = 0; x < width; ++x)
      *out++ = colourOf(line[x]);
  }
  return raster;
}

}  // namespace kavelin::image
