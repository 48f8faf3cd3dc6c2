#include "app/picture_area.hpp"

#include <QComboBox>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>
#include <QUrl>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

#include "app/form_controls.hpp"
#include "app/qt_text.hpp"
#include "app/window_texts.hpp"

namespace kavelin::app {
namespace {

// The warnings' amber, as the window's marks draw it.
const QColor kAmber(0xe0, 0x90, 0x00);
const QColor kRingRed(255, 0, 0);

// The outline's dashes, in picture pixels along the line: three drawn, two left out.
constexpr int kDashOn = 3;
constexpr int kDashPeriod = 5;

// The pixels of the one-pixel line just outside `cell`, clockwise from its top-left corner.
std::vector<QPoint> OutlineOf(const QRect& cell) {
  std::vector<QPoint> line;
  const int left = cell.left() - 1, top = cell.top() - 1;
  const int right = cell.left() + cell.width(), bottom = cell.top() + cell.height();
  for (int x = left; x < right; ++x)
    line.emplace_back(x, top);
  for (int y = top; y < bottom; ++y)
    line.emplace_back(right, y);
  for (int x = right; x > left; --x)
    line.emplace_back(x, bottom);
  for (int y = bottom; y > top; --y)
    line.emplace_back(left, y);
  return line;
}

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
  across_ = new QScrollBar(Qt::Horizontal, this);
  down_ = new QScrollBar(Qt::Vertical, this);
  for (QScrollBar* bar : {across_, down_}) {
    bar->setObjectName(bar == across_ ? "PictureAcross" : "PictureDown");
    bar->hide();
    connect(bar, &QScrollBar::valueChanged, this, qOverload<>(&QWidget::update));
  }
}

void PictureArea::SetHint(const QString& hint) {
  if (hint == hint_) return;
  hint_ = hint;
  update();
}

void PictureArea::ShowRaster(const image::Raster& raster) {
  shown_ = ToQImage(raster);
  // The scroll stays where it was: a picture saved again is looked at in the same place.
  Relayout();
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

void PictureArea::SetOutlinedCells(std::vector<QRect> cells) {
  if (cells == outlined_) return;
  outlined_ = std::move(cells);
  update();
}

void PictureArea::SetRing(std::optional<QPoint> pixel) {
  if (pixel == ring_) return;
  ring_ = pixel;
  update();
}

QPoint PictureArea::Scroll() const {
  return {across_->value(), down_->value()};
}

void PictureArea::ScrollTo(QPoint offset) {
  across_->setValue(offset.x());
  down_->setValue(offset.y());
}

QRect PictureArea::Viewport() const {
  // isHidden rather than isVisible: the area may not be on screen yet.
  return QRect(0, 0, width() - (down_->isHidden() ? 0 : down_->width()),
               height() - (across_->isHidden() ? 0 : across_->height()));
}

std::optional<QPoint> PictureArea::PixelAt(QPointF point) const {
  if (shown_.isNull() || !QRectF(Viewport()).contains(point)) return std::nullopt;
  const QPointF on = (point + QPointF(Scroll())) / zoom_;
  const QPoint pixel(static_cast<int>(std::floor(on.x())), static_cast<int>(std::floor(on.y())));
  if (!shown_.rect().contains(pixel)) return std::nullopt;
  return pixel;
}

void PictureArea::SetZoom(int zoom) {
  ZoomAround(zoom, QRectF(Viewport()).center());
}

void PictureArea::ZoomAround(int zoom, QPointF anchor) {
  zoom = std::clamp(zoom, kMinPictureZoom, kMaxPictureZoom);
  if (zoom == zoom_) return;
  // The picture point under the anchor stays under it.
  const QPointF on = (anchor + QPointF(Scroll())) / zoom_;
  zoom_ = zoom;
  Relayout();
  ScrollTo((on * zoom_ - anchor).toPoint());
  update();
  emit ZoomChanged(zoom_);
}

void PictureArea::Relayout() {
  const QSize content = shown_.isNull() ? QSize(0, 0) : shown_.size() * zoom_;
  const int extent = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
  // One bar takes room from the other direction, which may then need its bar too.
  bool across = content.width() > width();
  bool down = content.height() > height();
  if (across && !down) down = content.height() > height() - extent;
  if (down && !across) across = content.width() > width() - extent;
  const int shownWidth = width() - (down ? extent : 0);
  const int shownHeight = height() - (across ? extent : 0);
  across_->setGeometry(0, height() - extent, shownWidth, extent);
  down_->setGeometry(width() - extent, 0, extent, shownHeight);
  across_->setRange(0, std::max(0, content.width() - shownWidth));
  down_->setRange(0, std::max(0, content.height() - shownHeight));
  across_->setPageStep(std::max(1, shownWidth));
  down_->setPageStep(std::max(1, shownHeight));
  across_->setSingleStep(8 * zoom_);
  down_->setSingleStep(8 * zoom_);
  across_->setVisible(across);
  down_->setVisible(down);
}

QWidget* PictureArea::MakeZoomList(QWidget* parent) {
  auto* list = new QComboBox(parent);
  for (int zoom = kMinPictureZoom; zoom <= kMaxPictureZoom; ++zoom)
    list->addItem(QStringLiteral("×%1").arg(zoom), zoom);
  list->setCurrentIndex(zoom_ - kMinPictureZoom);
  Describe(list, Q(kPictureZoomName), Q(kPictureZoomTip));
  connect(list, &QComboBox::currentIndexChanged, this,
          [this, list](int index) { SetZoom(list->itemData(index).toInt()); });
  connect(this, &PictureArea::ZoomChanged, list, [list](int zoom) {
    const QSignalBlocker quiet(list);
    list->setCurrentIndex(zoom - kMinPictureZoom);
  });
  return list;
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
  const QRect viewport = Viewport();
  painter.setClipRect(viewport);
  // In picture pixels from here: each is zoom × zoom logical pixels, scaled without
  // smoothing so that it stays square and crisp at any zoom and device pixel ratio.
  const auto inPicturePixels = [&] {
    painter.resetTransform();
    painter.translate(-QPointF(Scroll()));
    painter.scale(zoom_, zoom_);
  };
  inPicturePixels();
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  if (!shown_.isNull()) painter.drawImage(QPoint(0, 0), shown_);
  if (!changedTint_.isNull()) painter.drawImage(QPoint(0, 0), changedTint_);
  for (const QRect& cell : outlined_) {
    const std::vector<QPoint> line = OutlineOf(cell);
    for (std::size_t i = 0; i < line.size(); ++i) {
      if (i % kDashPeriod < kDashOn) painter.fillRect(QRect(line[i], QSize(1, 1)), kAmber);
    }
  }
  painter.resetTransform();
  // A live mark: the widget draws itself, so the frame of the style sheet is drawn here,
  // around the part that shows the picture.
  if (const Mark mark = MarkOf(this); mark != Mark::kNone) {
    painter.setPen(QPen(mark == Mark::kError ? QColor(0xd0, 0x10, 0x10) : kAmber, 2));
    painter.drawRect(viewport.adjusted(1, 1, -1, -1));
  }
  if (!hint_.isEmpty()) {
    painter.setPen(QColor(64, 64, 64));
    painter.drawText(viewport.adjusted(8, 8, -8, -8), Qt::AlignCenter | Qt::TextWordWrap, hint_);
  }
  // Last, so that the hint's text never hides where the colours ran out. The same ring as
  // the one in the raster, pixel for pixel: radius 4 up to 6 around the pixel's centre.
  if (ring_) {
    inPicturePixels();
    for (int dy = -6; dy <= 6; ++dy) {
      for (int dx = -6; dx <= 6; ++dx) {
        const int squared = dx * dx + dy * dy;
        if (squared >= 16 && squared < 36)
          painter.fillRect(QRect(*ring_ + QPoint(dx, dy), QSize(1, 1)), kRingRed);
      }
    }
  }
}

void PictureArea::resizeEvent(QResizeEvent*) {
  Relayout();
}

void PictureArea::mousePressEvent(QMouseEvent* event) {
  const std::optional<QPoint> pixel = PixelAt(event->position());
  if (event->button() != Qt::LeftButton || !pixel) {
    QWidget::mousePressEvent(event);
    return;
  }
  event->accept();
  emit PixelClicked(*pixel);
}

void PictureArea::wheelEvent(QWheelEvent* event) {
  if (event->modifiers() & Qt::ControlModifier) {
    // One step a notch; a touchpad's small deltas add up to one.
    wheelRest_ += event->angleDelta().y();
    const int steps = wheelRest_ / QWheelEvent::DefaultDeltasPerStep;
    wheelRest_ %= QWheelEvent::DefaultDeltasPerStep;
    if (steps != 0) ZoomAround(zoom_ + steps, event->position());
    event->accept();
    return;
  }
  // Scrolled as a scroll area scrolls; with nothing to scroll, the window has the wheel.
  const bool sideways = (event->modifiers() & Qt::ShiftModifier) ||
                        std::abs(event->angleDelta().x()) > std::abs(event->angleDelta().y());
  QScrollBar* bar = sideways ? across_ : down_;
  if (bar->isHidden()) {
    event->ignore();
    return;
  }
  QCoreApplication::sendEvent(bar, event);
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
