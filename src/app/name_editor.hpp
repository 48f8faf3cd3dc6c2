// Names given in place: the lists' context menu names an entry or takes its name out, in
// the user's own names file, and the File menu opens another names file or the folder of
// the user's. Every list of the window shows the names at once.
#pragma once

#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

#include "sheet/names_file.hpp"

class QAction;
class QComboBox;
class QPoint;
class QWidget;

namespace kavelin::app {

class Dialogs;
class MainWindow;

class NameEditor : public QObject {
 public:
  // Where names are read from, in order, and the user's own file, which is written (empty
  // when no configuration folder is known).
  struct Places {
    std::vector<std::filesystem::path> read;
    std::filesystem::path userFile;
  };
  static Places PlacesOfThisProcess();

  NameEditor(MainWindow& window, Dialogs& dialogs);
  void SetPlaces(Places places) { places_ = std::move(places); }
  const Places& NamePlaces() const { return places_; }
  // Opens folders for "名前ファイルの場所を開く"; QDesktopServices::openUrl unless replaced.
  void SetFolderOpener(std::function<bool(const QUrl&)> open) { openFolder_ = std::move(open); }

  // The start-up read: the lists show the names, and the status bar's note on them comes
  // back (empty when no names file was there).
  QString LoadAtStart();
  const sheet::NamesTable& Shown() const { return shown_; }

  // The File menu's names items, put before `before`.
  void AddFileMenuItems(QMenu* file, QAction* before);
  // The entry menu of a list's entry at `row`, made for the moment it is open; nullptr for
  // a list whose entries cannot be named.
  QMenu* EntryMenu(QComboBox* combo, int row);

  // Asks for a name for the entry and writes it; false when cancelled or refused.
  bool NameEntry(sheet::ListId list, std::uint8_t code);
  // Takes the user's name for the entry out of the user's file.
  bool UnnameEntry(sheet::ListId list, std::uint8_t code);
  // Whether the user's file names the entry, as "名前を消す" needs.
  bool UserFileNames(sheet::ListId list, std::uint8_t code) const;
  // Another names file, whose names replace those shown.
  bool OpenNamesFile();
  bool OpenNamesFile(const std::filesystem::path& file);
  bool OpenNamesFolder();

 private:
  // Writes the change into the user's file and shows the names with `done` said first.
  bool Write(const sheet::NameChange& change, const QString& done);
  // Shows the names of `load` on every list; the status note on them, `before` first.
  QString ShowLoad(const sheet::NamesLoad& load, const QString& before = {});

  MainWindow& window_;
  Dialogs& dialogs_;
  Places places_;
  std::function<bool(const QUrl&)> openFolder_;
  sheet::NamesTable shown_;
  QPointer<QMenu> openMenu_;
  // After "名前ファイルを開く…": the names shown, which stand in for the files of `places_`
  // from then on, and the opened file's own, which show again when a name is taken out.
  std::optional<sheet::NamesTable> opened_;
  sheet::NamesTable openedNames_;
  std::filesystem::path openedFile_;
};

}  // namespace kavelin::app
