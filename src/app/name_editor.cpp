#include "app/name_editor.hpp"

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QDesktopServices>
#include <QMenu>
#include <QStringList>
#include <cstdlib>
#include <system_error>

#include "app/dialogs.hpp"
#include "app/entry_names.hpp"
#include "app/file_reasons.hpp"
#include "app/list_search.hpp"
#include "app/main_window.hpp"
#include "app/qt_text.hpp"
#include "app/user_files.hpp"
#include "app/window_texts.hpp"
#include "command/create_patch.hpp"
#include "image/status.hpp"
#include "io/read_file.hpp"
#include "text/executable_folder.hpp"
#include "text/settings_file.hpp"

namespace kavelin::app {
namespace {

QString WriteProblem(const sheet::NamesWrite& write, const std::filesystem::path& file) {
  using sheet::NamesWriteStep;
  sheet::NamesWriteStep step = NamesWriteStep::kNone;
  ReasonIs(write.Why(), step);
  switch (step) {
    case NamesWriteStep::kBusy:
      return Q(kNamesBusy);
    case NamesWriteStep::kLock:
      return Q(kNamesLockUnusable)
          .arg(WriteFailureReason(write.Why().error), DisplayPath(sheet::NamesLockFile(file)));
    case NamesWriteStep::kRead:
      if (const auto* read = write.Why().PartsAs<Failure>()) return ReadProblemReason(*read);
      break;
    case NamesWriteStep::kFolder:
    case NamesWriteStep::kWrite:
      return WriteFailureReason(write.Why().error);
    case NamesWriteStep::kName:
    case NamesWriteStep::kNone:
      break;
  }
  return Q(kNameRefused);
}

}  // namespace

NameEditor::Places NameEditor::PlacesOfThisProcess() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  const char* home = std::getenv("HOME");
  Places places{sheet::NamesFilePlaces(text::ExecutableFolder(), xdg, home), {}};
  if (const auto config = text::UserConfigFolder(xdg, home); !config.empty())
    places.userFile = config / sheet::kNamesFileName;
  return places;
}

NameEditor::NameEditor(MainWindow& window, Dialogs& dialogs)
    : QObject(&window), window_(window), dialogs_(dialogs), places_(PlacesOfThisProcess()) {
  SetEntryMenu(&window, [this](QComboBox* combo, int row, const QPoint& at) {
    // The menu key may arrive as a key and as a context menu event both: one menu.
    if (openMenu_ != nullptr && openMenu_->isVisible()) return;
    if (QMenu* menu = EntryMenu(combo, row)) {
      openMenu_ = menu;
      menu->popup(at);
    }
  });
}

QString NameEditor::LoadAtStart() {
  return ShowLoad(ReadWindowNames(places_.read));
}

QString NameEditor::ShowLoad(const sheet::NamesLoad& load, const QString& before) {
  shown_ = load.table;
  ShowEntryNames(&window_, shown_);
  QStringList notes;
  if (!before.isEmpty()) notes << before;
  if (const QString problems = NamesNote(load.problems); !problems.isEmpty()) notes << problems;
  if (!load.filesRead.empty()) {
    QStringList files;
    for (const auto& file : load.filesRead)
      files << DisplayPath(file);
    notes << Q(kNamesReadNote).arg(shown_.NamedCount()).arg(files.join(QStringLiteral("、")));
  }
  return notes.join(QStringLiteral("　"));
}

void NameEditor::AddFileMenuItems(QMenu* file, QAction* before) {
  auto* open = new QAction(Q(kOpenNamesItem), file);
  open->setObjectName("OpenNamesItem");
  auto* folder = new QAction(Q(kNamesFolderItem), file);
  folder->setObjectName("NamesFolderItem");
  file->insertAction(before, open);
  file->insertAction(before, folder);
  file->insertSeparator(open);
  // Queued, as the File menu's items are: the menu closes before a box opens.
  connect(
      open, &QAction::triggered, this, [this] { OpenNamesFile(); }, Qt::QueuedConnection);
  connect(
      folder, &QAction::triggered, this, [this] { OpenNamesFolder(); }, Qt::QueuedConnection);
}

QMenu* NameEditor::EntryMenu(QComboBox* combo, int row) {
  const auto list = ListOf(combo);
  if (!list || !sheet::IsCodedList(*list)) return nullptr;
  const auto code = sheet::CodeAt(*list, row);
  if (!code) return nullptr;
  auto* menu = new QMenu(combo);
  menu->setObjectName("EntryNameMenu");
  menu->setAttribute(Qt::WA_DeleteOnClose);
  QAction* name = menu->addAction(Q(kNameEntryItem));
  name->setObjectName("NameEntryItem");
  QAction* unname = menu->addAction(Q(kUnnameEntryItem));
  unname->setObjectName("UnnameEntryItem");
  unname->setEnabled(UserFileNames(*list, *code));
  const QPointer<QComboBox> shown(combo);
  const auto closePopup = [shown] {
    if (shown != nullptr) shown->hidePopup();
  };
  connect(
      name, &QAction::triggered, this,
      [this, closePopup, list = *list, code = *code] {
        closePopup();
        NameEntry(list, code);
      },
      Qt::QueuedConnection);
  connect(
      unname, &QAction::triggered, this,
      [this, closePopup, list = *list, code = *code] {
        closePopup();
        UnnameEntry(list, code);
      },
      Qt::QueuedConnection);
  return menu;
}

bool NameEditor::NameEntry(sheet::ListId list, std::uint8_t code) {
  const auto position = sheet::PositionOfCode(list, code);
  if (!sheet::IsCodedList(list) || !position) return false;
  const QString entry = Q(shown_.DisplayText(list, *position));
  QString typed = Q(shown_.Name(list, code));
  for (;;) {
    const std::optional<QString> answer = dialogs_.AskText(
        Q(kNameEntryQuestion).arg(entry).arg(sheet::kMaxNameLength), Q(kNameEntryTitle), typed);
    if (!answer) return false;
    typed = *answer;
    // The reader's own rule, so that no name is written that the next start would skip.
    if (const auto problem = sheet::NameProblem(typed.toStdU16String())) {
      dialogs_.Show(BoxLines({Q(kNameRefused), Q(*problem)}), BoxIcon::kStop, Q(kNameEntryTitle));
      continue;
    }
    return Write({list, code, typed.toStdU16String()}, Q(kNameGivenNote).arg(entry, typed));
  }
}

bool NameEditor::UnnameEntry(sheet::ListId list, std::uint8_t code) {
  const auto position = sheet::PositionOfCode(list, code);
  if (!position) return false;
  return Write({list, code, std::nullopt},
               Q(kNameTakenNote).arg(Q(shown_.DisplayText(list, *position))));
}

bool NameEditor::UserFileNames(sheet::ListId list, std::uint8_t code) const {
  if (places_.userFile.empty()) return false;
  const io::FileRead read = io::ReadFile(places_.userFile, sheet::kMaxNamesFileBytes);
  return read && sheet::HasNamesLine(*read, list, code);
}

bool NameEditor::Write(const sheet::NameChange& change, const QString& done) {
  const std::filesystem::path& file = places_.userFile;
  if (file.empty()) {
    dialogs_.Show(BoxLines({Q(kNamesUnwritable), Q(kNamesNowhere)}), BoxIcon::kStop,
                  Q(kWriteErrorTitle));
    return false;
  }
  const sheet::NamesWrite write = sheet::WriteNameChange(file, change);
  if (!write) {
    dialogs_.Show(BoxLines({Q(kNamesUnwritable), DisplayPath(file), WriteProblem(write, file)}),
                  BoxIcon::kStop, Q(kWriteErrorTitle));
    return false;
  }
  if (!opened_) {
    // Read again, the other windows' names with it, as the next start will read them.
    window_.ShowNote(ShowLoad(ReadWindowNames(places_.read), done));
    return true;
  }
  if (change.name)
    opened_->SetName(change.list, change.code, *change.name);
  else
    opened_->SetName(change.list, change.code, openedNames_.Name(change.list, change.code));
  sheet::NamesLoad load{*opened_, {}, {openedFile_}};
  window_.ShowNote(ShowLoad(load, done));
  return true;
}

bool NameEditor::OpenNamesFile() {
  const QString file =
      dialogs_.OpenFile(Q(kOpenNamesTitle), Q(kNamesFilterName), QStringLiteral("*.tsv;*.txt"));
  if (file.isEmpty()) return false;
  return OpenNamesFile(PathOf(file));
}

bool NameEditor::OpenNamesFile(const std::filesystem::path& file) {
  const std::filesystem::path places[] = {file};
  const sheet::NamesLoad load = ReadWindowNames(places);
  if (load.filesRead.empty()) {
    QString reason;
    if (!load.problems.empty()) {
      reason = Q(load.problems.front().reason);
    } else {
      // The reader passes a missing file over in silence.
      reason = ReadProblemReason(io::ReadFailure(io::ReadProblem::kNoSuchFile, file, ENOENT));
    }
    dialogs_.Show(BoxLines({Q(kNamesUnreadable), DisplayPath(file), reason}), BoxIcon::kStop,
                  Q(kReadErrorTitle));
    return false;
  }
  opened_ = load.table;
  openedNames_ = load.table;
  openedFile_ = file;
  window_.ShowNote(ShowLoad(load));
  return true;
}

bool NameEditor::OpenNamesFolder() {
  if (places_.userFile.empty()) {
    dialogs_.Show(BoxLines({Q(kNamesFolderNotOpened), Q(kNamesNowhere)}), BoxIcon::kStop,
                  Q(kNamesFolderItem));
    return false;
  }
  const std::filesystem::path folder = places_.userFile.parent_path();
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) {
    dialogs_.Show(
        BoxLines({Q(kNamesFolderUnmade), DisplayPath(folder), WriteFailureReason(error.value())}),
        BoxIcon::kStop, Q(kNamesFolderItem));
    return false;
  }
  const QUrl url = QUrl::fromLocalFile(DisplayPath(folder));
  const bool opened = openFolder_ ? openFolder_(url) : QDesktopServices::openUrl(url);
  if (!opened) {
    dialogs_.Show(BoxLines({Q(kNamesFolderNotOpened), DisplayPath(folder)}), BoxIcon::kStop,
                  Q(kNamesFolderItem));
  }
  return opened;
}

}  // namespace kavelin::app
