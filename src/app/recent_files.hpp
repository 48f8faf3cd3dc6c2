// Recent work: the files the user opened and saved last, and the folder each kind of file
// dialog starts in. Kept in the user's configuration folder
// (~/.config/kavelin/kavelin.conf, INI), with the game preview's zoom and background;
// nothing else of the window is kept between runs.
#pragma once

#include <QString>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <vector>

#include "app/dialogs.hpp"
#include "app/recent_record.hpp"

namespace kavelin::app {

// The kinds of file the window opens, each with its own start folder.
enum class FileKind {
  kSheet,
  kPatch,
  kTemplate,
  kNames,  // a folder of its own only: names files are not listed among recent files
};

struct RecentFile {
  FileKind kind;
  std::filesystem::path path;  // absolute
  bool operator==(const RecentFile&) const = default;
};

inline constexpr std::size_t kRecentLimit = 10;
// The record holds a few kilobytes; a file far larger is not one.
inline constexpr std::uintmax_t kMaxRecentRecordBytes = std::uintmax_t{1} << 20;

// The user's record: kavelin.conf in the configuration folder; empty when there is none.
std::filesystem::path UserRecentRecord();

class RecentFiles {
 public:
  // The user's own record.
  RecentFiles();
  // A record in `recordFile` instead, for tests.
  explicit RecentFiles(const std::filesystem::path& recordFile);
  explicit RecentFiles(const QString& recordFile);
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

  // A setting the window keeps beside the files ("preview/zoom"); empty when not kept.
  QString Value(const QString& key) const;
  void SetValue(const QString& key, const QString& value);

  // Entries of the record that could not be used when it was last read.
  std::size_t Unusable() const { return unusable_; }
  // False once the record is found to be anything but the user's own regular file that
  // this window can read and write (a link, a pipe or device, another user's file, one
  // that is too large or no record at all, one that cannot be written): it is then left
  // exactly as it is, and the list lives in memory for the rest of the run.
  bool Writable() const { return kept_; }
  // Why the record is not kept, with its name, the first time this is asked after that
  // was found; empty otherwise, so that the user is told once.
  QString TakeNote();

 private:
  // Reads the record again while it is kept, so that two windows add to one list.
  void Reload() const;
  void Store();
  void StopKeeping(const QString& reason) const;
  std::vector<RecentFile> Usable() const;

  std::filesystem::path file_;
  mutable RecentRecord record_;
  mutable bool kept_ = true;
  mutable QString note_;
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
  std::optional<QString> AskText(const QString& text, const QString& title,
                                 const QString& initial) override {
    return inner_.AskText(text, title, initial);
  }

  static FileKind KindOfPatterns(const QString& filterPatterns);
  static FileKind KindOfTypes(const std::vector<FileType>& types);

 private:
  Dialogs& inner_;
  RecentFiles& recent_;
};

}  // namespace kavelin::app
