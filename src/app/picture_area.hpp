// The template picture: the displayed raster pixel for pixel, enlarged ×1 to ×4 with
// square pixels and scrolled when it no longer fits, and a target for file drops. A click
// names the picture pixel under it.
#pragma once

#include <QImage>
#include <QMimeData>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QWidget>
#include <optional>
#include <vector>

#include "image/raster.hpp"

class QScrollBar;

namespace kavelin::app {

inline constexpr int kMinPictureZoom = 1;
inline constexpr int kMaxPictureZoom = 4;

class PictureArea : public QWidget {
  Q_OBJECT

 public:
  explicit PictureArea(QWidget* parent = nullptr);

  void ShowRaster(const image::Raster& raster);
  // A line drawn over an empty picture, saying what to do; empty for none.
  void SetHint(const QString& hint);
  const QImage& Shown() const { return shown_; }
  // Picture pixels the game shows in another colour, tinted amber over the picture.
  void SetChangedPixels(std::vector<QPoint> pixels);
  const std::vector<QPoint>& ChangedPixels() const { return changed_; }
  // Rectangles of picture pixels, outlined just outside with a dashed amber line one picture
  // pixel wide, so that the cells' own pixels stay in sight.
  void SetOutlinedCells(std::vector<QRect> cells);
  const std::vector<QRect>& OutlinedCells() const { return outlined_; }
  // The picture pixel circled in red, drawn over everything else, the hint text included.
  void SetRing(std::optional<QPoint> pixel);
  const std::optional<QPoint>& Ring() const { return ring_; }

  // Each picture pixel as zoom × zoom logical pixels; the pixel at the area's centre stays
  // where it is.
  void SetZoom(int zoom);
  int Zoom() const { return zoom_; }
  // How far the enlarged picture is scrolled, in logical pixels.
  QPoint Scroll() const;
  void ScrollTo(QPoint offset);
  // The part of the area the picture shows in, less the scroll bars.
  QRect Viewport() const;
  // The picture pixel under `point` of the area, if the picture is there.
  std::optional<QPoint> PixelAt(QPointF point) const;
  // A zoom list for beside the picture, kept in step with it both ways.
  QWidget* MakeZoomList(QWidget* parent);

  // The first local file among the dropped URLs, or empty when there is none.
  static QString FirstDroppedFile(const QMimeData* data);

 signals:
  void FileDropped(const QString& path);
  void PixelClicked(QPoint pixel);
  void ZoomChanged(int zoom);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  QImage shown_;
  QString hint_;
  std::vector<QPoint> changed_;
  QImage changedTint_;  // the tint of `changed_`, transparent elsewhere
  std::vector<QRect> outlined_;
  std::optional<QPoint> ring_;
  int zoom_ = kMinPictureZoom;
  int wheelRest_ = 0;  // a touchpad's part of a wheel step, kept for the next event
  QScrollBar* across_ = nullptr;
  QScrollBar* down_ = nullptr;

  void ZoomAround(int zoom, QPointF anchor);
  // The scroll bars as the enlarged picture and the area's size need them.
  void Relayout();
};

// The raster as a Qt image: colour values 0x00BBGGRR become opaque RGB pixels.
QImage ToQImage(const image::Raster& raster);

}  // namespace kavelin::app
