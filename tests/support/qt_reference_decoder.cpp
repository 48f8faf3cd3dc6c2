#include "qt_reference_decoder.hpp"

#include <QtCore/QFile>
#include <QtGui/QImage>
#include <QtGui/QImageReader>
#include <array>
#include <cstdint>
#include <cstdlib>

#include "image/decoder.hpp"

namespace kavelin::image::testing {
namespace {

std::uint32_t LittleEndian(const QByteArray& bytes, int at, int size) {
  std::uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i)
    value = value << 8 | static_cast<std::uint8_t>(bytes[at + i]);
  return value;
}

// Qt decodes a bitmap whose pixel rows stop short of what its header promises without any
// error, and leaves the missing rows as whatever memory held: the same file would give a
// different sprite each time. An uncompressed bitmap must hold all its rows.
bool BitmapIsCut(QFile& device) {
  const qint64 at = device.pos();
  device.seek(0);
  const QByteArray head = device.read(34);
  device.seek(at);
  if (head.size() < 34) return false;  // Qt refuses a header this short itself
  const std::uint32_t pixelsAt = LittleEndian(head, 10, 4);
  const std::uint32_t headerSize = LittleEndian(head, 14, 4);
  std::int64_t width = 0, height = 0, bits = 0;
  if (headerSize == 12) {  // the OS/2 header: 16-bit sizes, never compressed
    width = LittleEndian(head, 18, 2);
    height = LittleEndian(head, 20, 2);
    bits = LittleEndian(head, 24, 2);
  } else {
    constexpr std::uint32_t kRgb = 0, kBitFields = 3;
    const std::uint32_t compression = LittleEndian(head, 30, 4);
    if (compression != kRgb && compression != kBitFields) return false;
    width = static_cast<std::int32_t>(LittleEndian(head, 18, 4));
    height = static_cast<std::int32_t>(LittleEndian(head, 22, 4));
    bits = LittleEndian(head, 28, 2);
  }
  // Sizes past these are Qt's to refuse; they are not counted here.
  if (std::abs(width) > 65536 || std::abs(height) > 65536 || bits > 64) return false;
  const std::int64_t stride = (std::abs(width) * bits + 31) / 32 * 4;
  return device.size() < static_cast<std::int64_t>(pixelsAt) + stride * std::abs(height);
}

}  // namespace

std::optional<Raster> DecodeWithQt(const std::filesystem::path& file) {
  // Qt names files in UTF-8 on Linux, as the tests' paths are.
  QFile device(QString::fromStdU16String(file.u16string()));
  if (!device.open(QIODevice::ReadOnly)) return std::nullopt;

  QImageReader reader(&device);
  reader.setDecideFormatFromContent(true);
  const QByteArray format = reader.format();
  if (format != "gif" && format != "bmp" && format != "png") return std::nullopt;
  // The header's size, before any pixel memory is taken; a reader that cannot tell it
  // reports -1 x -1. A top-down bitmap reports a negative height.
  const QSize size = reader.size();
  const int headerWidth = size.width(), headerHeight = std::abs(size.height());
  if (headerWidth <= 0 || headerHeight == 0 || headerWidth > kMaxImageSide ||
      headerHeight > kMaxImageSide)
    return std::nullopt;
  if (format == "bmp" && BitmapIsCut(device)) return std::nullopt;

  // Run-length bitmaps may skip pixels, which Qt leaves as whatever memory held. Qt
  // decodes 4- and 8-bit bitmaps into an image it is given when the size and format
  // match, so one cleared to entry 0 gives skipped pixels one colour every time.
  QImage decoded;
  if (format == "bmp") {
    decoded = QImage(headerWidth, headerHeight, QImage::Format_Indexed8);
    if (decoded.isNull()) return std::nullopt;
    decoded.fill(0);
  }
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
  // PNG samples of up to 16 bits: read at 16 bits and cut to the high byte, as our reader
  // does, rather than rounded, as Qt's own conversion to 8 bits would.
  if (format == "png") {
    decoded = decoded.convertToFormat(QImage::Format_RGBA64);
    if (decoded.isNull()) return std::nullopt;
    for (int y = 0; y < height; ++y) {
      const auto* line = reinterpret_cast<const QRgba64*>(decoded.constScanLine(y));
      for (int x = 0; x < width; ++x) {
        const QRgba64 p = line[x];
        *out++ = p.alpha() >> 8 == 0 ? kBackground
                                     : Rgb(static_cast<std::uint8_t>(p.red() >> 8),
                                           static_cast<std::uint8_t>(p.green() >> 8),
                                           static_cast<std::uint8_t>(p.blue() >> 8));
      }
    }
    return raster;
  }
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

}  // namespace kavelin::image::testing
