// Platform door: POSIX file replacement.
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <ctime>
#include <map>
#include <memory>
#include <mutex>
#include <random>
#include <set>
#include <string>
#include <string_view>
#include <utility>

#include "patch/atomic_file.hpp"

namespace kavelin::patch {
namespace {

// Owns a file descriptor, so that no early return can leak one.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  FileDescriptor& operator=(FileDescriptor&& other) noexcept {
    if (this != &other) {
      Close();
      fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
  }
  bool Valid() const { return fd_ >= 0; }
  int Get() const { return fd_; }
  // Closes now, for a caller that must know whether the close failed (it can report a
  // write error that the disk noticed late). Returns 0 or the errno.
  int Close() {
    const int fd = fd_;
    fd_ = -1;
    return fd >= 0 && ::close(fd) != 0 ? errno : 0;
  }

 private:
  int fd_;
};

struct CloseDirectory {
  void operator()(DIR* dir) const { ::closedir(dir); }
};
using Directory = std::unique_ptr<DIR, CloseDirectory>;

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
  const Directory dir(::opendir(folder.empty() ? "." : folder.c_str()));
  if (!dir) return;
  const int dirFd = ::dirfd(dir.get());
  const std::time_t now = std::time(nullptr);
  while (const dirent* entry = ::readdir(dir.get())) {
    if (!IsTemporaryName(entry->d_name)) continue;
    struct stat info {};
    if (::fstatat(dirFd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (S_ISREG(info.st_mode) && now - info.st_mtime > kStaleSeconds &&
        !OwnerMayBeRunning(entry->d_name)) {
      ::unlinkat(dirFd, entry->d_name, 0);
    }
  }
}

// Refuses a target that is there and is no regular file, before or just before a rename.
int NotReplaceableError(const std::filesystem::path& target) {
  struct stat info {};
  if (::stat(target.c_str(), &info) != 0 || S_ISREG(info.st_mode)) return 0;
  return S_ISDIR(info.st_mode) ? EISDIR : kNotRegularFile;
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
  if (const int refused = NotReplaceableError(target)) {
    staged.result.error = refused;
    return staged;
  }
  FileDescriptor fd(-1);
  for (int attempt = 0; attempt < 16 && !fd.Valid(); ++attempt) {
    staged.temporary = TemporaryName(target);
    fd = FileDescriptor(
        ::open(staged.temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (!fd.Valid() && errno != EEXIST) break;
  }
  if (!fd.Valid()) {
    staged.result.error = errno;
    return staged;
  }
  const auto fail = [&](int error) {
    fd.Close();
    ::unlink(staged.temporary.c_str());
    staged.result.error = error;
    return staged;
  };

  // Keep the permissions of a file being replaced.
  struct stat old {};
  if (::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
    ::fchmod(fd.Get(), old.st_mode & 07777);
  }

#ifdef __linux__
  // Reserving the blocks first reports a full disk before anything is written, and spares
  // ext4 the flush it starts when a file with unallocated blocks is renamed over another
  // (half the cost of replacing a patch there). File systems without it just write.
  if (!bytes.empty() && ::fallocate(fd.Get(), 0, 0, static_cast<off_t>(bytes.size())) != 0 &&
      errno == ENOSPC) {
    return fail(ENOSPC);
  }
#endif
  if (!WriteAll(fd.Get(), bytes)) return fail(errno);
  if (sync && ::fsync(fd.Get()) != 0) return fail(errno);
  if (const int error = fd.Close()) return fail(error);
  staged.result.ok = true;
  return staged;
}

// Renames a staged temporary over its target; on failure the temporary is removed.
AtomicWriteResult Commit(const std::string& temporary, const std::filesystem::path& target) {
  AtomicWriteResult result;
  // A node may have appeared since staging (a batch stages long before it commits).
  result.error = NotReplaceableError(target);
  if (result.error == 0 && ::rename(temporary.c_str(), target.c_str()) != 0) result.error = errno;
  if (result.error != 0) {
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
  const FileDescriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.Valid()) ::fsync(dir.Get());
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

std::vector<AtomicBatch::Committed> AtomicBatch::Commit(bool sync) {
  std::vector<Committed> results;
  results.reserve(entries_.size());
  for (const Entry& e : entries_)
    results.push_back({e.target, {}});
  // The flush error of each staged file, 0 when its data is on the disk.
  std::vector<int> flushError(entries_.size(), 0);
  if (sync) {
    // One flush per file system for every staged file, before any old file is replaced.
    std::map<dev_t, std::vector<std::size_t>> byDevice;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
      struct stat info {};
      if (::stat(entries_[i].temporary.c_str(), &info) != 0) {
        flushError[i] = errno;
        continue;
      }
      byDevice[info.st_dev].push_back(i);
    }
    for (const auto& [device, members] : byDevice) {
      const FileDescriptor any(
          ::open(entries_[members.front()].temporary.c_str(), O_RDONLY | O_CLOEXEC));
      if (any.Valid() && ::syncfs(any.Get()) == 0) continue;
      // Without syncfs, or when it fails, each file is flushed on its own, and a file
      // whose flush fails too may not replace its older one.
      for (const std::size_t i : members) {
        const FileDescriptor each(::open(entries_[i].temporary.c_str(), O_RDONLY | O_CLOEXEC));
        if (!each.Valid() || ::fsync(each.Get()) != 0) flushError[i] = errno != 0 ? errno : EIO;
      }
    }
  }
  std::set<std::filesystem::path> folders;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    const Entry& e = entries_[i];
    if (flushError[i] != 0) {
      ::unlink(e.temporary.c_str());
      results[i].result.error = flushError[i];
      continue;
    }
    results[i].result = patch::Commit(e.temporary, e.target);
    if (results[i].result.ok)
      folders.insert(e.target.has_parent_path() ? e.target.parent_path() : ".");
  }
  if (sync) {
    for (const auto& folder : folders)
      SyncFolder(folder / "x");
  }
  entries_.clear();
  return results;
}

std::string FileIdentity(const std::filesystem::path& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) == 0) {
    // Appended piece by piece: g++ 12 at -O2 warns (wrongly) about a chain of operator+.
    std::string identity = "#";
    identity += std::to_string(info.st_dev);
    identity += ':';
    identity += std::to_string(info.st_ino);
    return identity;
  }
  // Not there yet: the name with links and dots resolved, as it will be created.
  std::error_code error;
  const auto resolved = std::filesystem::weakly_canonical(std::filesystem::absolute(path), error);
  return (error ? path.lexically_normal() : resolved).native();
}

bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
  return !a.empty() && !b.empty() && FileIdentity(a) == FileIdentity(b);
}

}  // namespace kavelin::patch
