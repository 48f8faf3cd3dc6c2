// The template's part of the window: the picture (a drop target), the browse button, the
// sixteen palette toggles with each entry's values, and the poison preview tick. It shows
// a template image as the core holds it and reports presses; it decides nothing itself.
#pragma once

#include <QStringList>
#include <QWidget>
#include <array>
#include <vector>

#include "image/palette.hpp"
#include "image/palette_panel.hpp"
#include "image/template_image.hpp"

class QCheckBox;
class QLabel;
class QPushButton;

namespace kavelin::app {

class PictureArea;

class TemplatePanel : public QWidget {
  Q_OBJECT

 public:
  explicit TemplatePanel(QWidget* parent = nullptr);

  // The toggles, the values, the preview tick and the picture follow `image`.
  void Show(const image::TemplateImage& image);
  const PictureArea& Picture() const { return *picture_; }
  QWidget* PictureWidget() const;
  // Entries 1 and 2 whose colour the game replaces with its own, as the last Show found
  // them, and the rows that say so.
  const std::vector<image::FixedColourHint>& FixedColourHints() const { return hints_; }
  std::vector<QWidget*> HintedRows() const;
  // Every hint the last Show found: the fixed colours', cells past the picture's edge and
  // the colour overflow; the texts of the last two, which the picture's tooltip gives.
  int HintCount() const;
  const QStringList& PictureHints() const { return pictureHints_; }

 signals:
  void PaletteToggled(int entry, bool ticked);
  void PreviewToggled(bool ticked);
  void BrowseRequested();
  void FileDropped(const QString& path);
  void GamePreviewRequested();

 private:
  PictureArea* picture_ = nullptr;  // Picture1
  QPushButton* browse_ = nullptr;   // Command2
  QPushButton* gamePreview_ = nullptr;
  std::array<QPushButton*, image::kPaletteSize> toggles_{};  // Check1(i)
  // Each entry's red, green, blue and SNES form.
  std::array<std::array<QLabel*, 4>, image::kPaletteSize> values_{};  // Label2, 3, 4, 1
  QCheckBox* preview_ = nullptr;                                      // Check2
  // The game's fixed colours of entries 1 and 2, beside the template's own.
  std::array<QLabel*, 3> fixedSwatches_{};  // Fixed(1), Fixed(2)
  std::vector<image::FixedColourHint> hints_;
  QStringList pictureHints_;
};

}  // namespace kavelin::app
