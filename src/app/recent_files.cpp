#include "app/recent_files.hpp"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <algorithm>
#include <optional>

#include "app/qt_text.hpp"

namespace kavelin::app {
namespace {

constexpr char kOrganisation[] = "kavelin";
constexpr char kApplication[] = "kavelin";
constexpr char kRecentArray[] = "recent";
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

}  // namespace

RecentFiles::RecentFiles()
    : settings_(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                            kOrganisation, kApplication)) {}

RecentFiles::RecentFiles(const QString& settingsFile)
    : settings_(std::make_unique<QSettings>(settingsFile, QSettings::IniFormat)) {}

RecentFiles::~RecentFiles() = default;

bool RecentFiles::Writable() const {
  return settings_->isWritable() && settings_->status() == QSettings::NoError;
}

std::vector<RecentFile> RecentFiles::Files() const {
  std::vector<RecentFile> files;
  unusable_ = 0;
  const int stored = settings_->beginReadArray(kRecentArray);
  for (int i = 0; i < std::min(stored, kMaxStoredEntries); ++i) {
    settings_->setArrayIndex(i);
    const auto kind = KindOfKey(settings_->value("kind").toString());
    const QString path = settings_->value("path").toString();
    if (!kind || !UsablePath(path)) {
      ++unusable_;
      continue;
    }
    const RecentFile file{*kind, PathOf(path)};
    const bool again = std::any_of(files.begin(), files.end(),
                                   [&](const RecentFile& f) { return f.path == file.path; });
    if (!again && files.size() < kRecentLimit) files.push_back(file);
  }
  settings_->endArray();
  if (stored > kMaxStoredEntries) unusable_ += static_cast<std::size_t>(stored - kMaxStoredEntries);
  return files;
}

void RecentFiles::Store(const std::vector<RecentFile>& files) {
  // A record that could not be read as a whole is the user's; it is not replaced.
  if (!Writable()) return;
  settings_->remove(kRecentArray);
  settings_->beginWriteArray(kRecentArray, static_cast<int>(files.size()));
  for (std::size_t i = 0; i < files.size(); ++i) {
    settings_->setArrayIndex(static_cast<int>(i));
    settings_->setValue("kind", KindKey(files[i].kind));
    settings_->setValue("path", DisplayPath(files[i].path));
  }
  settings_->endArray();
  settings_->sync();
}

void RecentFiles::Add(FileKind kind, const std::filesystem::path& file) {
  const std::filesystem::path path = Absolute(file);
  if (!UsablePath(DisplayPath(path))) return;
  std::vector<RecentFile> files = Files();
  std::erase_if(files, [&](const RecentFile& f) { return f.path == path; });
  files.insert(files.begin(), {kind, path});
  if (files.size() > kRecentLimit) files.resize(kRecentLimit);
  Store(files);
  SetFolder(kind, DisplayPath(path.parent_path()));
}

void RecentFiles::Remove(const std::filesystem::path& file) {
  const std::filesystem::path path = Absolute(file);
  std::vector<RecentFile> files = Files();
  std::erase_if(files, [&](const RecentFile& f) { return f.path == path; });
  Store(files);
}

QString RecentFiles::Folder(FileKind kind) const {
  const QString folder = settings_->value("folders/" + KindKey(kind)).toString();
  return UsablePath(folder) ? folder : QString();
}

void RecentFiles::SetFolder(FileKind kind, const QString& folder) {
  if (!UsablePath(folder) || !Writable()) return;
  settings_->setValue("folders/" + KindKey(kind), folder);
  settings_->sync();
}

FileKind FolderMemoryDialogs::KindOfPatterns(const QString& filterPatterns) {
  if (filterPatterns.contains(QStringLiteral("k7c"), Qt::CaseInsensitive)) return FileKind::kSheet;
  if (filterPatterns.contains(QStringLiteral("k7p"), Qt::CaseInsensitive)) return FileKind::kPatch;
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
