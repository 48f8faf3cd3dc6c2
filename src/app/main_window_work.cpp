// Recent work and the in-game preview of the main window: the File menu's recent files,
// the template a sheet file names, the preview window that follows the template, and the
// template's file watched and read again as a paint program saves it.
#include <QAction>
#include <QApplication>
#include <QColor>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <array>
#include <optional>

#include "app/file_reasons.hpp"
#include "app/game_preview_window.hpp"
#include "app/main_window.hpp"
#include "app/name_editor.hpp"
#include "app/picture_area.hpp"
#include "app/qt_text.hpp"
#include "app/recent_files.hpp"
#include "app/template_panel.hpp"
#include "app/template_watch.hpp"
#include "image/sprite_cells.hpp"

namespace kavelin::app {
namespace {

// "&" in a file's name is a mnemonic to a menu; doubled, it shows as itself.
QString MenuText(int number, const std::filesystem::path& file) {
  QString shown = DisplayPath(file);
  shown.replace('&', QStringLiteral("&&"));
  return number < 10 ? QStringLiteral("&%1 %2").arg(number).arg(shown)
                     : QStringLiteral("1&0 %1").arg(shown);
}

}  // namespace

void MainWindow::BuildWorkMenus(QMenu* file, QAction* before) {
  // Above the separator that sets the last item apart.
  const QList<QAction*> items = file->actions();
  const qsizetype at = items.indexOf(before);
  QAction* anchor = at > 0 && items[at - 1]->isSeparator() ? items[at - 1] : before;
  recentMenu_ = new QMenu(Q(kRecentMenu), file);
  recentMenu_->setObjectName("RecentMenu");
  file->insertSeparator(file->insertMenu(anchor, recentMenu_));
  connect(recentMenu_, &QMenu::aboutToShow, this, &MainWindow::FillRecentMenu);
  FillRecentMenu();
  nameEditor_ = new NameEditor(*this, dialogs_);
  nameEditor_->AddFileMenuItems(file, anchor);

  QMenu* view = menuBar_->addMenu(Q(kViewMenu));
  view->setObjectName("ViewMenu");
  QAction* preview = view->addAction(Q(kGamePreviewItem));
  preview->setObjectName("GamePreviewItem");
  preview->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
  connect(preview, &QAction::triggered, this, [this] { ShowGamePreview(); });
  reloadTemplate_ = view->addAction(Q(kReloadTemplateItem));
  reloadTemplate_->setObjectName("ReloadTemplate");
  reloadTemplate_->setShortcut(QKeySequence(Qt::Key_F5));
  reloadTemplate_->setEnabled(false);
  connect(reloadTemplate_, &QAction::triggered, this, [this] { ReloadTemplate(true); });
}

void MainWindow::ConnectTemplateWatch() {
  templateWatch_ = new TemplateWatch(this);
  connect(templateWatch_, &TemplateWatch::Saved, this, [this] {
    // Not under an open box: the road or a save may be holding the template half-way.
    if (QApplication::activeModalWidget() != nullptr) {
      templateWatch_->LookAgain();
      return;
    }
    ReloadTemplate(false);
  });
  connect(templateWatch_, &TemplateWatch::Gone, this,
          [this] { ShowNote(Q(kTemplateGoneNote).arg(DisplayPath(Template().path.filename()))); });
  auto* picture = qobject_cast<PictureArea*>(templatePanel_->PictureWidget());
  connect(picture, &PictureArea::PixelClicked, this,
          [this](QPoint pixel) { ShowNote(PixelNote(pixel)); });
}

void MainWindow::FollowTemplateFile() {
  if (templateWatch_ == nullptr) return;
  // A template drawn from a patch has no file of its own.
  const std::filesystem::path file =
      Template().fromPatch ? std::filesystem::path() : Template().path;
  reloadTemplate_->setEnabled(!file.empty());
  if (!templateWatch_->Watches(file)) templateWatch_->Watch(file);
}

void MainWindow::ReloadTemplate(bool byHand) {
  if (byHand) RecordStep();
  // What is read now, taken or not, is seen: only the next save is worth another look. Its
  // state before the read, so that a save meanwhile is not missed.
  templateWatch_->MarkSeen();
  const command::TemplateReload reload = document_.ReloadTemplate(decoder_, byHand);
  const QString name = DisplayPath(Template().path.filename());
  if (reload && reload->taken) {
    // As after a load: swaps the picture could not take are gone, and no undo brings them.
    if (byHand) RecordWithoutStep();
    MirrorTemplate();
    ShowNote(Q(kTemplateReloadedNote).arg(name));
    if (byHand) ReportSkippedSwaps(reload->skipped);
    return;
  }
  if (reload) {
    ShowNote(Q(kTemplateReloadKeptSwapsNote).arg(SwapsText(reload->skipped), name));
    return;
  }
  QString why = FailureReason(reload.Why());
  if (const auto* refused = reload.Why().PartsAs<command::RefusedPixels>()) {
    if (const auto& at = refused->overflowPixel)
      why += Q(kReloadOverflowPixel).arg(at->x).arg(at->y);
    else if (const auto& pixel = refused->partlyTransparentPixel)
      why += Q(kReloadPartlyTransparentPixel).arg(pixel->at.x).arg(pixel->at.y);
  }
  ShowNote(Q(kTemplateReloadFailedNote).arg(why, name));
}

QString MainWindow::PixelNote(QPoint pixel) const {
  const image::TemplateImage& shown = Template();
  // The file's own colours: neither the poison preview nor the red ring.
  const image::Raster& picture = shown.loaded;
  // The display pads a small picture out to the area; the padding is no pixel of it.
  const int width = shown.pictureWidth > 0 ? shown.pictureWidth : picture.Width();
  const int height = shown.pictureHeight > 0 ? shown.pictureHeight : picture.Height();
  const int x = pixel.x(), y = pixel.y();
  if (x < 0 || y < 0 || x >= width || y >= height || !picture.Contains(x, y))
    return Q(kPixelOutsidePicture).arg(x).arg(y);
  const image::Colour colour = picture.At(x, y);
  const QString rgb =
      QColor(image::Red(colour), image::Green(colour), image::Blue(colour)).name().toUpper();
  std::optional<int> cell;
  for (std::size_t n = 0; n < image::kSpriteCells.size() && !cell; ++n) {
    const image::Cell& c = image::kSpriteCells[n];
    const int left = c.x + shown.originOffset, top = c.y + shown.originOffset;
    if (x >= left && x < left + c.w && y >= top && y < top + c.h) cell = static_cast<int>(n) + 1;
  }
  QString what = Q(kPixelOutsideCells);
  if (cell) {
    const std::optional<int> entry = shown.palette.IndexOf(colour);
    what = entry ? Q(kPixelEntry).arg(*cell).arg(*entry) : Q(kPixelNotInPalette).arg(*cell);
  }
  return Q(kPixelNote).arg(x).arg(y).arg(rgb, what);
}

void MainWindow::SetRecentFiles(RecentFiles* recent) {
  recent_ = recent;
  FillRecentMenu();
}

void MainWindow::FillRecentMenu() {
  recentMenu_->clear();
  const std::vector<RecentFile> files = recent_ ? recent_->Files() : std::vector<RecentFile>{};
  if (files.empty()) {
    recentMenu_->addAction(Q(kNoRecentItem))->setEnabled(false);
    return;
  }
  int number = 1;
  for (const RecentFile& file : files) {
    QAction* item = recentMenu_->addAction(MenuText(number++, file.path));
    item->setData(DisplayPath(file.path));
    // Queued, as the File menu's items are: the menu closes before a box opens.
    connect(
        item, &QAction::triggered, this, [this, file] { OpenRecentFile(file.kind, file.path); },
        Qt::QueuedConnection);
  }
}

void MainWindow::NoteFileUsed(FileKind kind, const std::filesystem::path& file) {
  if (recent_ == nullptr) return;
  recent_->Add(kind, file);
  ShowRecentNote();
}

void MainWindow::ShowRecentNote() {
  if (recent_ == nullptr) return;
  if (const QString note = recent_->TakeNote(); !note.isEmpty()) ShowNote(note);
}

bool MainWindow::OpenRecentFile(FileKind kind, const std::filesystem::path& file) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) {
    if (recent_ != nullptr) recent_->Remove(file);
    ShowRecentNote();
    dialogs_.Show(Q(kRecentFileMissing) + "\r\n" + DisplayPath(file), BoxIcon::kExclamation,
                  Q(kRecentMenu));
    return false;
  }
  switch (kind) {
    case FileKind::kSheet:
      return MaySetCharacterAside() && OpenSheetFile(file);
    case FileKind::kPatch:
      return MaySetCharacterAside() && OpenPatchFile(file);
    case FileKind::kTemplate:
      TakeInFile(file);
      return Template().path == file;
    case FileKind::kNames:
      break;
  }
  return false;
}

bool MainWindow::LoadSheetTemplate(const std::filesystem::path& sheetFile,
                                   const sheet::SheetDocument& opened) {
  if (opened.templateFile.empty()) return false;
  const std::filesystem::path file = sheet::TemplateOfSheet(sheetFile, opened.templateFile);
  // In full, links resolved: a relative key is read from the sheet's real folder, which
  // need not be the folder the sheet was opened through.
  const QString shown = DisplayPath(sheet::RealPath(file));
  std::error_code error;
  if (!std::filesystem::exists(file, error)) {
    ShowNote(Q(kSheetTemplateMissingNote) + shown);
    return false;
  }
  document_.SetSwapsForNextLoad(opened.paletteSwaps);
  TakeInFile(file);
  if (Template().path == file) ShowNote(Q(kSheetTemplateNote).arg(shown));
  return true;
}

namespace {

// The preview's backgrounds as the record keeps them.
constexpr std::array<std::pair<patch::PreviewBackground, const char*>, 3> kBackgroundKeys = {{
    {patch::PreviewBackground::kBlack, "black"},
    {patch::PreviewBackground::kWhite, "white"},
    {patch::PreviewBackground::kCheckerboard, "checkerboard"},
}};

}  // namespace

GamePreviewWindow* MainWindow::ShowGamePreview() {
  if (gamePreview_ == nullptr) {
    gamePreview_ = new GamePreviewWindow(
        dialogs_, [this](const std::filesystem::path& file) { return IsOwnInput(file); }, this);
    if (recent_ != nullptr) {
      // As the user left it last time; anything else in the record is passed over.
      bool number = false;
      const int keptZoom = recent_->Value(QStringLiteral("preview/zoom")).toInt(&number);
      if (number) gamePreview_->SetZoom(keptZoom);
      const QString keptBackground = recent_->Value(QStringLiteral("preview/background"));
      for (const auto& [kind, key] : kBackgroundKeys)
        if (keptBackground == QLatin1String(key)) gamePreview_->SetBackground(kind);
      connect(gamePreview_, &GamePreviewWindow::ViewChosen, this,
              [this](int zoom, patch::PreviewBackground background) {
                recent_->SetValue(QStringLiteral("preview/zoom"), QString::number(zoom));
                for (const auto& [kind, key] : kBackgroundKeys)
                  if (kind == background)
                    recent_->SetValue(QStringLiteral("preview/background"), QLatin1String(key));
              });
    }
  }
  gamePreview_->Follow(Template());
  if (!gamePreview_->isVisible()) {
    if (const QScreen* on = screen())
      gamePreview_->FitOnScreen(on->availableGeometry(), frameGeometry());
  }
  gamePreview_->show();
  gamePreview_->raise();
  gamePreview_->activateWindow();
  return gamePreview_;
}

}  // namespace kavelin::app
