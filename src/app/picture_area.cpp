#include "app/picture_area.hpp"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QPainter>
#include <QUrl>
#include <algorithm>
#include <utility>

#include "app/form_controls.hpp"

namespace kavelin::app {
namespace {

// The warnings' amber, as the window's marks draw it.
const QColor kAmber(0xe0, 0x90, 0x00);

}  // namespace

QImage ToQImage(const image::Raster& raster) {
  QImage out(raster.Width(), raster.Height(), QImage::Format_RGB32);
  for (int y = 0; y < raster.Height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
    for (int x = 0; x < raster.Width(); ++x) {
      const image::Colour c = raster.At(x, y);
      line[x] = qRgb(image::Red(c), image::Green(c), image::Blue(c));
    }
  }
  return out;
}

PictureArea::PictureArea(QWidget* parent) : QWidget(parent) {
  setAcceptDrops(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureArea::SetHint(const QString& hint) {
  if (hint == hint_) return;
  hint_ = hint;
  update();
}

void PictureArea::ShowRaster(const image::Raster& raster) {
  shown_ = ToQImage(raster);
  update();
}

void PictureArea::SetChangedPixels(std::vector<QPoint> pixels) {
  if (pixels == changed_) return;
  changed_ = std::move(pixels);
  changedTint_ = QImage();
  if (!changed_.empty()) {
    QPoint far(0, 0);
    for (const QPoint& p : changed_)
      far = QPoint(std::max(far.x(), p.x()), std::max(far.y(), p.y()));
    // Partly see-through: the pixel's own colour still shows.
    changedTint_ = QImage(far.x() + 1, far.y() + 1, QImage::Format_ARGB32_Premultiplied);
    changedTint_.fill(Qt::transparent);
    const QRgb amber = qPremultiply(qRgba(kAmber.red(), kAmber.green(), kAmber.blue(), 150));
    for (const QPoint& p : changed_) {
      if (p.x() >= 0 && p.y() >= 0) changedTint_.setPixel(p, amber);
    }
  }
  update();
}

QString PictureArea::FirstDroppedFile(const QMimeData* data) {
  if (!data || !data->hasUrls()) return {};
  for (const QUrl& url : data->urls()) {
    if (url.isLocalFile()) return url.toLocalFile();
  }
  return {};
}

void PictureArea::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), QColor(212, 208, 200));
  // One image pixel per logical pixel, scaled without smoothing so that it stays crisp at
  // any device pixel ratio.
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  if (!shown_.isNull()) painter.drawImage(QPoint(0, 0), shown_);
  if (!changedTint_.isNull()) painter.drawImage(QPoint(0, 0), changedTint_);
  // A live mark: the widget draws itself, so the frame of the style sheet is drawn here.
  if (const Mark mark = MarkOf(this); mark != Mark::kNone) {
    painter.setPen(QPen(mark == Mark::kError ? QColor(0xd0, 0x10, 0x10) : kAmber, 2));
    painter.drawRect(rect().adjusted(1, 1, -1, -1));
  }
  if (!hint_.isEmpty()) {
    painter.setPen(QColor(64, 64, 64));
    painter.drawText(rect().adjusted(8, 8, -8, -8), Qt::AlignCenter | Qt::TextWordWrap, hint_);
  }
}

void PictureArea::dragEnterEvent(QDragEnterEvent* event) {
  if (!FirstDroppedFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void PictureArea::dragMoveEvent(QDragMoveEvent* event) {
  if (!FirstDroppedFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void PictureArea::dropEvent(QDropEvent* event) {
  const QString file = FirstDroppedFile(event->mimeData());
  if (file.isEmpty()) return;
  event->acceptProposedAction();
  emit FileDropped(file);
}

}  // namespace kavelin::app
