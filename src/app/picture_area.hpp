// The template picture: the displayed raster pixel for pixel, and a target for file drops.
#pragma once

#include <QImage>
#include <QMimeData>
#include <QPoint>
#include <QString>
#include <QWidget>
#include <vector>

#include "image/raster.hpp"

namespace kavelin::app {

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

  // The first local file among the dropped URLs, or empty when there is none.
  static QString FirstDroppedFile(const QMimeData* data);

 signals:
  void FileDropped(const QString& path);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  QImage shown_;
  QString hint_;
  std::vector<QPoint> changed_;
  QImage changedTint_;  // the tint of `changed_`, transparent elsewhere
};

// The raster as a Qt image: colour values 0x00BBGGRR become opaque RGB pixels.
QImage ToQImage(const image::Raster& raster);

}  // namespace kavelin::app
