#include "app/recent_files.hpp"

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <optional>
#include <utility>

#include "app/file_reasons.hpp"
#include "app/qt_text.hpp"
#include "app/user_files.hpp"
#include "app/window_texts.hpp"
#include "io/atomic_file.hpp"
#include "io/read_file.hpp"
#include "text/settings_file.hpp"

namespace kavelin::app {
namespace {

// A record edited by hand may hold any number of entries; past this many, none are read.
constexpr int kMaxStoredEntries = 100;
// Longer than any path a file system takes.
constexpr qsizetype kMaxPathLength = 4096;

QString KindKey(FileKind kind) {
  switch (kind) {
    case FileKind::kSheet:
      return QStringLiteral("sheet");
    case FileKind::kPatch:
      return QStringLiteral("patch");
    case FileKind::kTemplate:
      return QStringLiteral("template");
    case FileKind::kNames:
      return QStringLiteral("names");
  }
  return {};
}

std::optional<FileKind> KindOfKey(const QString& key) {
  for (const FileKind kind : {FileKind::kSheet, FileKind::kPatch, FileKind::kTemplate}) {
    if (key == KindKey(kind)) return kind;
  }
  return std::nullopt;
}

bool UsablePath(const QString& path) {
  return !path.isEmpty() && path.size() <= kMaxPathLength && QDir::isAbsolutePath(path) &&
         std::none_of(path.begin(), path.end(),
                      [](QChar c) { return c.category() == QChar::Other_Control; });
}

std::filesystem::path Absolute(const std::filesystem::path& file) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(file, error);
  return (error ? file : absolute).lexically_normal();
}

QString EntryKey(int number, const char* field) {
  return QStringLiteral("recent/%1/%2").arg(number).arg(QLatin1String(field));
}

QString FolderKey(FileKind kind) {
  return QStringLiteral("folders/") + KindKey(kind);
}

// The list as a whole replaces the one read, entries that could not be used included.
void PutList(RecentRecord& record, const std::vector<RecentFile>& files) {
  std::erase_if(record.values,
                [](const auto& entry) { return entry.first.startsWith(QLatin1String("recent/")); });
  for (std::size_t i = 0; i < files.size(); ++i) {
    const int number = static_cast<int>(i) + 1;
    record.values[EntryKey(number, "kind")] = KindKey(files[i].kind);
    record.values[EntryKey(number, "path")] = DisplayPath(files[i].path);
  }
  record.values[QStringLiteral("recent/size")] = QString::number(files.size());
}

}  // namespace

std::filesystem::path UserRecentRecord() {
  const std::filesystem::path folder =
      text::UserConfigFolder(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
  return folder.empty() ? folder : folder / "kavelin.conf";
}

RecentFiles::RecentFiles() : RecentFiles(UserRecentRecord()) {}

RecentFiles::RecentFiles(const QString& recordFile) : RecentFiles(PathOf(recordFile)) {}

RecentFiles::RecentFiles(const std::filesystem::path& recordFile) : file_(recordFile) {
  if (file_.empty()) {
    kept_ = false;
    note_ = Q(kRecentNotKeptNote).arg(Q(kRecentRecordNowhere), QString()).trimmed();
    return;
  }
  Reload();
}

void RecentFiles::StopKeeping(const QString& reason) const {
  if (!kept_) return;
  kept_ = false;
  note_ = Q(kRecentNotKeptNote).arg(reason, DisplayPath(file_));
}

QString RecentFiles::TakeNote() {
  return std::exchange(note_, QString());
}

void RecentFiles::Reload() const {
  if (!kept_) return;
  struct stat info {};
  const bool there = ::lstat(file_.c_str(), &info) == 0;
  if (!there && (errno == ENOENT || errno == ENOTDIR)) {
    // No record yet: an empty one, written at the first change.
    record_ = {};
    return;
  }
  // Only the user's own regular file is ever replaced. Anything else is left as it is; a
  // link or another user's file may still give this run's list, while a pipe or a device
  // is not even opened.
  QString refusal;
  if (there && S_ISLNK(info.st_mode)) {
    refusal = Q(kRecentRecordIsLink);
  } else if (there && !S_ISREG(info.st_mode)) {
    StopKeeping(ReadProblemReason(io::ReadFailure(io::ReadProblem::kNotRegularFile, file_)));
    return;
  } else if (there && info.st_uid != ::geteuid()) {
    refusal = Q(kRecentRecordNotOwn);
  }
  const io::FileRead read = io::ReadFile(file_, kMaxRecentRecordBytes);
  if (!read) {
    StopKeeping(refusal.isEmpty() ? ReadProblemReason(read.Why()) : refusal);
    return;
  }
  RecentRecordRead parsed = ParseRecentRecord(*read);
  if (!parsed) {
    StopKeeping(refusal.isEmpty()
                    ? Q(kRecentRecordBadLine).arg(*parsed.Why().PartsAs<std::size_t>())
                    : refusal);
    return;
  }
  record_ = std::move(*parsed);
  if (!refusal.isEmpty()) StopKeeping(refusal);
}

std::vector<RecentFile> RecentFiles::Usable() const {
  std::vector<RecentFile> files;
  unusable_ = 0;
  const auto value = [this](const QString& key) {
    const auto at = record_.values.find(key);
    return at == record_.values.end() ? QString() : at->second;
  };
  const int stored = std::max(0, value(QStringLiteral("recent/size")).toInt());
  for (int i = 1; i <= std::min(stored, kMaxStoredEntries); ++i) {
    const auto kind = KindOfKey(value(EntryKey(i, "kind")));
    const QString path = value(EntryKey(i, "path"));
    if (!kind || !UsablePath(path)) {
      ++unusable_;
      continue;
    }
    const RecentFile file{*kind, PathOf(path)};
    const bool again = std::any_of(files.begin(), files.end(),
                                   [&](const RecentFile& f) { return f.path == file.path; });
    if (!again && files.size() < kRecentLimit) files.push_back(file);
  }
  if (stored > kMaxStoredEntries) unusable_ += static_cast<std::size_t>(stored - kMaxStoredEntries);
  return files;
}

std::vector<RecentFile> RecentFiles::Files() const {
  Reload();
  return Usable();
}

void RecentFiles::Store() {
  if (!kept_) return;
  struct stat info {};
  if (::lstat(file_.c_str(), &info) == 0) {
    // Looked at again just before the write, since the record may have been swapped after
    // it was read; the writer itself refuses a link or a device put there later still.
    if (S_ISLNK(info.st_mode)) {
      StopKeeping(Q(kRecentRecordIsLink));
    } else if (!S_ISREG(info.st_mode)) {
      StopKeeping(WriteFailureReason(io::kNotRegularFileError));
    } else if (info.st_uid != ::geteuid()) {
      StopKeeping(Q(kRecentRecordNotOwn));
    }
    if (!kept_) return;
  } else {
    std::error_code error;
    std::filesystem::create_directories(file_.parent_path(), error);
  }
  const QByteArray text = WriteRecentRecord(record_);
  // Not flushed to the disk: the record is worth less than a wait on every open.
  const io::WriteOutcome written =
      io::WriteFileAtomically(file_,
                              {reinterpret_cast<const std::uint8_t*>(text.constData()),
                               static_cast<std::size_t>(text.size())},
                              false);
  if (!written) StopKeeping(WriteFailureReason(written.Why().error));
}

void RecentFiles::Add(FileKind kind, const std::filesystem::path& file) {
  const std::filesystem::path path = Absolute(file);
  if (!UsablePath(DisplayPath(path))) return;
  std::vector<RecentFile> files = Files();
  std::erase_if(files, [&](const RecentFile& f) { return f.path == path; });
  files.insert(files.begin(), {kind, path});
  if (files.size() > kRecentLimit) files.resize(kRecentLimit);
  PutList(record_, files);
  unusable_ = 0;
  const QString folder = DisplayPath(path.parent_path());
  if (UsablePath(folder)) record_.values[FolderKey(kind)] = folder;
  Store();
}

void RecentFiles::Remove(const std::filesystem::path& file) {
  const std::filesystem::path path = Absolute(file);
  std::vector<RecentFile> files = Files();
  std::erase_if(files, [&](const RecentFile& f) { return f.path == path; });
  PutList(record_, files);
  unusable_ = 0;
  Store();
}

QString RecentFiles::Folder(FileKind kind) const {
  Reload();
  const auto at = record_.values.find(FolderKey(kind));
  const QString folder = at == record_.values.end() ? QString() : at->second;
  return UsablePath(folder) ? folder : QString();
}

void RecentFiles::SetFolder(FileKind kind, const QString& folder) {
  if (!UsablePath(folder)) return;
  Reload();
  record_.values[FolderKey(kind)] = folder;
  Store();
}

QString RecentFiles::Value(const QString& key) const {
  Reload();
  const auto at = record_.values.find(key);
  return at == record_.values.end() ? QString() : at->second;
}

void RecentFiles::SetValue(const QString& key, const QString& value) {
  if (!IsRecentRecordKey(key)) return;
  Reload();
  if (Value(key) == value) return;
  record_.values[key] = value;
  Store();
}

FileKind FolderMemoryDialogs::KindOfPatterns(const QString& filterPatterns) {
  if (filterPatterns.contains(QStringLiteral("k7c"), Qt::CaseInsensitive)) return FileKind::kSheet;
  if (filterPatterns.contains(QStringLiteral("k7p"), Qt::CaseInsensitive)) return FileKind::kPatch;
  if (filterPatterns.contains(QStringLiteral("tsv"), Qt::CaseInsensitive)) return FileKind::kNames;
  return FileKind::kTemplate;
}

FileKind FolderMemoryDialogs::KindOfTypes(const std::vector<FileType>& types) {
  QStringList suffixes;
  for (const FileType& type : types)
    suffixes << "*." + type.suffix;
  return KindOfPatterns(suffixes.join(' '));
}

void FolderMemoryDialogs::Show(const QString& text, BoxIcon icon, const QString& title) {
  inner_.Show(text, icon, title);
}

bool FolderMemoryDialogs::Ask(const QString& text, BoxIcon icon, const QString& title) {
  return inner_.Ask(text, icon, title);
}

Answer FolderMemoryDialogs::AskYesNoCancel(const QString& text, BoxIcon icon,
                                           const QString& title) {
  return inner_.AskYesNoCancel(text, icon, title);
}

QString FolderMemoryDialogs::OpenFile(const QString& title, const QString& filterName,
                                      const QString& filterPatterns) {
  const FileKind kind = KindOfPatterns(filterPatterns);
  inner_.SetOpenFolder(recent_.Folder(kind));
  const QString chosen = inner_.OpenFile(title, filterName, filterPatterns);
  if (!chosen.isEmpty()) recent_.SetFolder(kind, QFileInfo(chosen).absolutePath());
  return chosen;
}

QString FolderMemoryDialogs::SaveFile(const QString& title, const std::vector<FileType>& types,
                                      const QString& suggested) {
  const FileKind kind = KindOfTypes(types);
  // The suggested name, in the folder last used for this kind of file.
  QString start = suggested;
  const QString folder = recent_.Folder(kind);
  if (!folder.isEmpty() && QFileInfo(folder).isDir()) {
    const QString name = QFileInfo(suggested).fileName();
    start = name.isEmpty() ? folder + '/' : QDir(folder).filePath(name);
  }
  const QString chosen = inner_.SaveFile(title, types, start);
  if (!chosen.isEmpty()) recent_.SetFolder(kind, QFileInfo(chosen).absolutePath());
  return chosen;
}

void FolderMemoryDialogs::SetOpenFolder(const QString& folder) {
  inner_.SetOpenFolder(folder);
}

}  // namespace kavelin::app
