// Recent work and the in-game preview of the main window: the File menu's recent files,
// the template a sheet file names, and the preview window that follows the template.
#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>

#include "app/game_preview_window.hpp"
#include "app/main_window.hpp"
#include "app/qt_text.hpp"
#include "app/recent_files.hpp"

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

  QMenu* view = menuBar_->addMenu(Q(kViewMenu));
  view->setObjectName("ViewMenu");
  QAction* preview = view->addAction(Q(kGamePreviewItem));
  preview->setObjectName("GamePreviewItem");
  preview->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
  connect(preview, &QAction::triggered, this, [this] { ShowGamePreview(); });
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

GamePreviewWindow* MainWindow::ShowGamePreview() {
  if (gamePreview_ == nullptr) {
    gamePreview_ = new GamePreviewWindow(
        dialogs_, [this](const std::filesystem::path& file) { return IsOwnInput(file); }, this);
  }
  gamePreview_->Follow(Template());
  gamePreview_->show();
  gamePreview_->raise();
  gamePreview_->activateWindow();
  return gamePreview_;
}

}  // namespace kavelin::app
