#include "app/template_watch.hpp"

#include <QFileSystemWatcher>
#include <QStringList>
#include <QTimer>
#include <system_error>
#include <utility>

#include "app/qt_text.hpp"
#include "io/read_file.hpp"

namespace kavelin::app {
namespace {

// Quiet long enough for an editor's writes of one save to run together, short enough that
// the picture follows within a second: a change is taken after two looks this far apart.
constexpr std::chrono::milliseconds kQuietTime{200};
// A save by rename, or by deleting and writing anew, leaves the name empty for a moment;
// only a file still gone after this many looks is said to be gone.
constexpr int kMissingLooks = 10;
// Larger files, which no template is, are told apart by their stamps alone.
constexpr std::uintmax_t kDigestLimit = std::uintmax_t{16} << 20;

}  // namespace

TemplateWatch::TemplateWatch(QObject* parent) : QObject(parent) {
  watcher_ = new QFileSystemWatcher(this);
  quiet_ = new QTimer(this);
  quiet_->setSingleShot(true);
  quiet_->setInterval(kQuietTime);
  connect(watcher_, &QFileSystemWatcher::fileChanged, this, &TemplateWatch::Stir);
  connect(watcher_, &QFileSystemWatcher::directoryChanged, this, &TemplateWatch::Stir);
  connect(quiet_, &QTimer::timeout, this, &TemplateWatch::Settle);
}

void TemplateWatch::SetQuietTime(std::chrono::milliseconds quiet) {
  quiet_->setInterval(quiet);
}

void TemplateWatch::Watch(const std::filesystem::path& file) {
  quiet_->stop();
  if (const QStringList watched = watcher_->files() + watcher_->directories(); !watched.isEmpty())
    watcher_->removePaths(watched);
  std::error_code error;
  // Absolute, so that the folder is known for a name given without one.
  file_ = file.empty() ? file : std::filesystem::absolute(file, error);
  if (error) file_ = file;
  missingLooks_ = 0;
  goneSaid_ = false;
  MarkSeen();
  Rewatch();
}

bool TemplateWatch::Watches(const std::filesystem::path& file) const {
  if (file.empty() || file_.empty()) return file.empty() && file_.empty();
  std::error_code error;
  return std::filesystem::absolute(file, error) == file_;
}

void TemplateWatch::LookAgain() {
  if (!file_.empty()) quiet_->start();
}

void TemplateWatch::MarkSeen() {
  seen_ = settling_ = StampOf(file_);
  seenDigest_ = seen_.exists ? DigestOf(file_) : 0;
  touched_ = false;
}

std::uint64_t TemplateWatch::DigestOf(const std::filesystem::path& file) {
  const io::FileRead read = io::ReadFile(file, kDigestLimit);
  if (!read) return 0;
  // FNV-1a: enough to tell a changed save from the same bytes, which is all it is for.
  std::uint64_t digest = 0xcbf29ce484222325u;
  for (const std::uint8_t byte : *read)
    digest = (digest ^ byte) * 0x100000001b3u;
  return digest;
}

TemplateWatch::Stamp TemplateWatch::StampOf(const std::filesystem::path& file) {
  Stamp stamp;
  std::error_code error;
  if (file.empty() || !std::filesystem::is_regular_file(file, error)) return stamp;
  stamp.size = std::filesystem::file_size(file, error);
  if (error) return stamp;
  stamp.written = std::filesystem::last_write_time(file, error);
  stamp.exists = !error;
  return stamp;
}

void TemplateWatch::Rewatch() {
  if (file_.empty()) return;
  const QString file = DisplayPath(file_);
  const QString folder = DisplayPath(file_.parent_path());
  std::error_code error;
  if (std::filesystem::exists(file_, error) && !watcher_->files().contains(file))
    watcher_->addPath(file);
  if (std::filesystem::is_directory(file_.parent_path(), error) &&
      !watcher_->directories().contains(folder))
    watcher_->addPath(folder);
}

void TemplateWatch::Stir(const QString& path) {
  if (path == DisplayPath(file_)) touched_ = true;
  // Every write of a save starts the wait afresh; the folder stirs for other files too,
  // which the stamp then tells apart.
  LookAgain();
}

void TemplateWatch::Settle() {
  Rewatch();
  const Stamp now = StampOf(file_);
  if (!now.exists) {
    settling_ = now;
    if (goneSaid_) return;
    if (++missingLooks_ < kMissingLooks) {
      quiet_->start();
      return;
    }
    goneSaid_ = true;
    emit Gone();
    return;
  }
  missingLooks_ = 0;
  goneSaid_ = false;
  const bool touched = std::exchange(touched_, false);
  if (now == seen_ && !(touched && DigestOf(file_) != seenDigest_)) {
    settling_ = now;
    return;
  }
  if (now != settling_) {
    // Still being written, or just begun: looked at again once it has stood still.
    settling_ = now;
    touched_ = touched;
    quiet_->start();
    return;
  }
  emit Saved();
}

}  // namespace kavelin::app
