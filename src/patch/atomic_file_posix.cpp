// Platform door: POSIX file replacement.
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <ctime>
#include <mutex>
#include <random>
#include <set>
#include <string>
#include <string_view>

#include "patch/atomic_file.hpp"

namespace kavelin::patch {
namespace {

// A short hidden name in the target's folder (a rename only replaces within one file
// system), short so that a long target name cannot push it past the name limit.
std::string TemporaryName(const std::filesystem::path& target) {
  static std::atomic<unsigned> counter{0};
  thread_local std::mt19937 random{std::random_device{}()};
  const std::string name = ".kavelin-" + std::to_string(::getpid()) + "-" +
                           std::to_string(counter++) + "-" + std::to_string(random() % 1000000) +
                           ".tmp";
  return (target.parent_path() / name).native();
}

// ".kavelin-", then three runs of digits joined by "-", then ".tmp": exactly what
// TemporaryName makes, so that no file of anyone else's can ever match.
bool IsTemporaryName(std::string_view name) {
  constexpr std::string_view prefix = ".kavelin-", suffix = ".tmp";
  if (!name.starts_with(prefix) || !name.ends_with(suffix)) return false;
  name = name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
  int runs = 0;
  std::size_t digits = 0;
  for (const char c : name) {
    if (c >= '0' && c <= '9') {
      ++digits;
    } else if (c == '-' && digits > 0 && runs < 2) {
      ++runs;
      digits = 0;
    } else {
      return false;
    }
  }
  return runs == 2 && digits > 0;
}

// The process that made a temporary, by the number in its name, may still rename it:
// this one (a batch stages files before it commits them) or any other still running.
bool OwnerMayBeRunning(std::string_view name) {
  pid_t pid = 0;
  for (const char c : name.substr(std::string_view(".kavelin-").size())) {
    if (c == '-') break;
    if (pid > 100'000'000) return true;  // no process number is that large; leave it be
    pid = pid * 10 + (c - '0');
  }
  return pid <= 0 || pid == ::getpid() || ::kill(pid, 0) == 0 || errno == EPERM;
}

// A writer killed between creating its temporary and the rename leaves the temporary
// behind. The next write into the folder removes such files once their process has ended
// and they are old enough that no write still running elsewhere (another machine on a
// shared folder) can own them.
void SweepStaleTemporaries(const std::filesystem::path& folder) {
  // Once per folder and process: a batch writing a thousand files into one folder must not
  // list it a thousand times.
  static std::mutex mutex;
  static std::set<std::filesystem::path> swept;
  {
    const std::lock_guard lock(mutex);
    if (!swept.insert(folder).second) return;
  }
  constexpr std::time_t kStaleSeconds = 10 * 60;
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return;
  const int dirFd = ::dirfd(dir);
  const std::time_t now = std::time(nullptr);
  while (const dirent* entry = ::readdir(dir)) {
    if (!IsTemporaryName(entry->d_name)) continue;
    struct stat info {};
    if (::fstatat(dirFd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (S_ISREG(info.st_mode) && now - info.st_mtime > kStaleSeconds &&
        !OwnerMayBeRunning(entry->d_name)) {
      ::unlinkat(dirFd, entry->d_name, 0);
    }
  }
  ::closedir(dir);
}

bool WriteAll(int fd, std::span<const std::uint8_t> bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes = bytes.subspan(static_cast<std::size_t>(n));
  }
  return true;
}

}  // namespace

namespace {

struct Staged {
  AtomicWriteResult result;
  std::string temporary;
};

// Writes `bytes` to a new temporary beside `target`, flushed to the disk when `sync`; the
// target is untouched. On failure nothing is left behind.
Staged Stage(const std::filesystem::path& target, std::span<const std::uint8_t> bytes, bool sync) {
  Staged staged;
  int fd = -1;
  for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
    staged.temporary = TemporaryName(target);
    fd = ::open(staged.temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) {
    staged.result.error = errno;
    return staged;
  }

  // Keep the permissions of a file being replaced.
  struct stat old {};
  if (::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
    ::fchmod(fd, old.st_mode & 07777);
  }

#ifdef __linux__
  // Reserving the blocks first reports a full disk before anything is written, and spares
  // ext4 the flush it starts when a file with unallocated blocks is renamed over another
  // (half the cost of replacing a patch there). File systems without it just write.
  if (!bytes.empty() && ::fallocate(fd, 0, 0, static_cast<off_t>(bytes.size())) != 0 &&
      errno == ENOSPC) {
    staged.result.error = errno;
    ::close(fd);
    ::unlink(staged.temporary.c_str());
    return staged;
  }
#endif
  bool written = WriteAll(fd, bytes);
  if (written && sync) written = ::fsync(fd) == 0;
  int error = written ? 0 : errno;
  if (::close(fd) != 0 && written) {
    written = false;
    error = errno;
  }
  if (!written) {
    ::unlink(staged.temporary.c_str());
    staged.result.error = error;
    return staged;
  }
  staged.result.ok = true;
  return staged;
}

// Renames a staged temporary over its target; on failure the temporary is removed.
AtomicWriteResult Commit(const std::string& temporary, const std::filesystem::path& target) {
  AtomicWriteResult result;
  if (::rename(temporary.c_str(), target.c_str()) != 0) {
    result.error = errno;
    ::unlink(temporary.c_str());
    return result;
  }
  SweepStaleTemporaries(target.parent_path());
  result.ok = true;
  return result;
}

// Makes the renames into a folder durable; a failure here cannot undo completed writes.
void SyncFolder(const std::filesystem::path& target) {
  const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
  const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
}

}  // namespace

AtomicWriteResult WriteFileAtomically(const std::filesystem::path& target,
                                      std::span<const std::uint8_t> bytes, bool sync) {
  const Staged staged = Stage(target, bytes, sync);
  if (!staged.result.ok) return staged.result;
  const AtomicWriteResult committed = Commit(staged.temporary, target);
  if (committed.ok && sync) SyncFolder(target);
  return committed;
}

AtomicBatch::AtomicBatch() = default;

AtomicBatch::~AtomicBatch() {
  for (const Entry& e : entries_)
    ::unlink(e.temporary.c_str());
}

AtomicWriteResult AtomicBatch::Stage(const std::filesystem::path& target,
                                     std::span<const std::uint8_t> bytes) {
  Staged staged = patch::Stage(target, bytes, /*sync=*/false);
  if (staged.result.ok) entries_.push_back({target, std::move(staged.temporary)});
  return staged.result;
}

std::vector<AtomicWriteResult> AtomicBatch::Commit(bool sync) {
  std::vector<AtomicWriteResult> results;
  results.reserve(entries_.size());
  if (sync) {
    // One flush per file system for every staged file, before any old file is replaced.
    std::set<dev_t> flushed;
    for (const Entry& e : entries_) {
      struct stat info {};
      if (::stat(e.temporary.c_str(), &info) != 0 || !flushed.insert(info.st_dev).second) continue;
      const int fd = ::open(e.temporary.c_str(), O_RDONLY | O_CLOEXEC);
      if (fd < 0) continue;
      if (::syncfs(fd) != 0) {
        // Without syncfs, each file of that file system is flushed on its own.
        for (const Entry& other : entries_) {
          const int each = ::open(other.temporary.c_str(), O_RDONLY | O_CLOEXEC);
          if (each >= 0) {
            ::fsync(each);
            ::close(each);
          }
        }
      }
      ::close(fd);
    }
  }
  std::set<std::filesystem::path> folders;
  for (const Entry& e : entries_) {
    results.push_back(patch::Commit(e.temporary, e.target));
    if (results.back().ok)
      folders.insert(e.target.has_parent_path() ? e.target.parent_path() : ".");
  }
  if (sync) {
    for (const auto& folder : folders)
      SyncFolder(folder / "x");
  }
  entries_.clear();
  return results;
}

}  // namespace kavelin::patch
