// Recent work: the files the user opened and saved last, and the folder each kind of file
// dialog starts in. Kept with QSettings in the user's configuration folder
// (~/.config/kavelin/kavelin.conf); nothing else of the window is kept between runs.
#pragma once

#include <QString>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "app/dialogs.hpp"

class QSettings;

namespace kavelin::app {

// The kinds of file the window opens, each with its own start folder.
enum class FileKind { kSheet, kPatch, kTemplate };

struct RecentFile {
  FileKind kind;
  std::filesystem::path path;  // absolute
  bool operator==(const RecentFile&) const = default;
};

inline constexpr std::size_t kRecentLimit = 10;

class RecentFiles {
 public:
  // The user's own record.
  RecentFiles();
  // A record in `settingsFile` (INI) instead, for tests.
  explicit RecentFiles(const QString& settingsFile);
  ~RecentFiles();
  RecentFiles(const RecentFiles&) = delete;
  RecentFiles& operator=(const RecentFiles&) = delete;

  // Newest first, at most kRecentLimit. Entries that are not a kind and an absolute path
  // are left out and counted in Unusable().
  std::vector<RecentFile> Files() const;
  // Puts `file` first (once), drops what falls past the limit, and makes its folder the
  // start folder of its kind.
  void Add(FileKind kind, const std::filesystem::path& file);
  void Remove(const std::filesystem::path& file);

  // The folder the dialogs of `kind` last used; empty when none yet.
  QString Folder(FileKind kind) const;
  void SetFolder(FileKind kind, const QString& folder);

  // Entries of the record that could not be used when it was last read.
  std::size_t Unusable() const { return unusable_; }
  // False when the record cannot be written (a read-only or broken file); it is then left
  // as it is.
  bool Writable() const;

 private:
  void Store(const std::vector<RecentFile>& files);

  std::unique_ptr<QSettings> settings_;
  mutable std::size_t unusable_ = 0;
};

// The dialogs of the window, each opening in the folder last used for its kind of file and
// remembering the folder chosen. The kind is told by the file types a dialog offers.
class FolderMemoryDialogs : public Dialogs {
 public:
  FolderMemoryDialogs(Dialogs& inner, RecentFiles& recent) : inner_(inner), recent_(recent) {}

  void Show(const QString& text, BoxIcon icon, const QString& title) override;
  bool Ask(const QString& text, BoxIcon icon, const QString& title) override;
  QString OpenFile(const QString& title, const QString& filterName,
                   const QString& filterPatterns) override;
  Answer AskYesNoCancel(const QString& text, BoxIcon icon, const QString& title) override;
  QString SaveFile(const QString& title, const std::vector<FileType>& types,
                   const QString& suggested) override;
  void SetOpenFolder(const QString& folder) override;

  static FileKind KindOfPatterns(const QString& filterPatterns);
  static FileKind KindOfTypes(const std::vector<FileType>& types);

 private:
  Dialogs& inner_;
  RecentFiles& recent_;
};

}  // namespace kavelin::app
