// Watches the template's file for saves by other programs: written in place, or written
// aside and renamed over it, as most editors do. A save is reported once the file has
// stood still for a moment, so that one save is one report however many writes it takes.
#pragma once

#include <QObject>
#include <chrono>
#include <cstdint>
#include <filesystem>

class QFileSystemWatcher;
class QTimer;

namespace kavelin::app {

class TemplateWatch : public QObject {
  Q_OBJECT

 public:
  explicit TemplateWatch(QObject* parent = nullptr);

  // Watches `file` from its state now, or nothing for an empty path.
  void Watch(const std::filesystem::path& file);
  const std::filesystem::path& File() const { return file_; }
  // Whether `file` is the one watched, however it is spelt.
  bool Watches(const std::filesystem::path& file) const;
  // Takes the file as it is now as seen, after it has been read.
  void MarkSeen();
  // How long the file must stand still before a save is reported.
  void SetQuietTime(std::chrono::milliseconds quiet);
  // Looks at the file again in a moment: a save that could not be taken yet is reported
  // again if it is still there.
  void LookAgain();

 signals:
  // The file differs from the last one seen and has stood still since.
  void Saved();
  // The file has been gone for longer than a save takes: said once, until it is back.
  void Gone();

 private:
  // What tells one save from the next without reading the file.
  struct Stamp {
    bool exists = false;
    std::uintmax_t size = 0;
    std::filesystem::file_time_type written{};
    bool operator==(const Stamp&) const = default;
  };
  static Stamp StampOf(const std::filesystem::path& file);
  // The file's bytes in brief: a write in the same clock tick as the last read, of the
  // same size, leaves the stamp as it was.
  static std::uint64_t DigestOf(const std::filesystem::path& file);
  void Stir(const QString& path);
  void Settle();
  // The file and its folder: a rename over the file takes the watched file away.
  void Rewatch();

  QFileSystemWatcher* watcher_ = nullptr;
  QTimer* quiet_ = nullptr;
  std::filesystem::path file_;
  Stamp seen_;      // as last read
  Stamp settling_;  // as the last look found it, waiting to stand still
  std::uint64_t seenDigest_ = 0;
  bool touched_ = false;  // the file itself stirred, not only its folder
  int missingLooks_ = 0;
  bool goneSaid_ = false;
};

}  // namespace kavelin::app
