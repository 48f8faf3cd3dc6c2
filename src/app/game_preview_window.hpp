// The in-game preview: the 23 cells as the game will draw them, from the very tiles and
// palette words the patch would carry, on a background of the user's choice, enlarged with
// square pixels. It follows the main window's template and can be saved as a picture.
#pragma once

#include <QWidget>
#include <filesystem>
#include <functional>

#include "app/dialogs.hpp"
#include "image/raster.hpp"
#include "image/template_image.hpp"
#include "patch/game_preview.hpp"

class QComboBox;
class QLabel;
class QPushButton;

namespace kavelin::app {

using patch::kMaxPreviewZoom;
using patch::kMinPreviewZoom;

class GamePreviewWindow : public QWidget {
  Q_OBJECT

 public:
  // `isOwnInput` tells the files the main window reads from, which a saved picture must
  // never replace.
  GamePreviewWindow(Dialogs& dialogs, std::function<bool(const std::filesystem::path&)> isOwnInput,
                    QWidget* parent = nullptr);

  // Draws `image` as the patch written now would show it.
  void Follow(const image::TemplateImage& image);

  void SetBackground(patch::PreviewBackground background);
  void SetZoom(int zoom);
  int Zoom() const { return zoom_; }
  // What the window shows, at 1:1 and as enlarged.
  const image::Raster& Picture() const { return picture_; }
  image::Raster Shown() const { return patch::EnlargePreview(picture_, zoom_); }

  // Lowers the zoom until the window fits `available` (a screen's free area) and places it
  // beside `beside` (the main window's frame) where there is room, wholly on the screen.
  void FitOnScreen(const QRect& available, const QRect& beside);

  // Saves the picture as shown, asking where; false when nothing was written.
  bool Save();
  bool SaveFile(const std::filesystem::path& file);

 signals:
  // The user chose a zoom or background, which the window remembers for the next run.
  void ViewChosen(int zoom, patch::PreviewBackground background);

 private:
  void Redraw();

  Dialogs& dialogs_;
  std::function<bool(const std::filesystem::path&)> isOwnInput_;
  image::TemplateImage image_;
  patch::PreviewBackground background_ = patch::PreviewBackground::kBlack;
  int zoom_ = 3;
  image::Raster picture_;

  QComboBox* backgrounds_ = nullptr;
  QComboBox* zooms_ = nullptr;
  QPushButton* save_ = nullptr;
  QLabel* view_ = nullptr;
  QLabel* note_ = nullptr;
};

}  // namespace kavelin::app
