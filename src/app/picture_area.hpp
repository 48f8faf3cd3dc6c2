// The template picture: the displayed raster pixel for pixel, and a target for file drops.
#pragma once

#include <QImage>
#include <QMimeData>
#include <QString>
#include <QWidget>

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
};

// The raster as a Qt image: colour values 0x00BBGGRR become opaque RGB pixels.
QImage ToQImage(const image::Raster& raster);

}  // namespace kavelin::app
