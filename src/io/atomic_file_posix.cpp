// Platform door: POSIX file replacement.
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <map>
#include <memory>
#include <mutex>
#include <random>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "io/atomic_file.hpp"
#include "io/descriptor.hpp"

namespace kavelin::io {
namespace {

// One flush for every file of a file system where the system has it (Linux), else -1 and
// the caller flushes each file on its own.
int SyncFileSystem(int fd) {
#if defined(__linux__)
  return ::syncfs(fd);
#else
  static_cast<void>(fd);
  errno = ENOSYS;
  return -1;
#endif
}

struct CloseDirectory {
  void operator()(DIR* dir) const { ::closedir(dir); }
};
using Directory = std::unique_ptr<DIR, CloseDirectory>;

// A short hidden name in the target's folder (a rename only replaces within one file
// system), short so that a long target name cannot push it past the name limit.
std::string TemporaryName() {
  static std::atomic<unsigned> counter{0};
  thread_local std::mt19937 random{std::random_device{}()};
  std::string name = ".kavelin-";
  name += std::to_string(::getpid());
  name += '-';
  name += std::to_string(counter++);
  name += '-';
  name += std::to_string(random() % 1000000);
  name += ".tmp";
  return name;
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
void SweepStaleTemporaries(const std::filesystem::path& folder, int folderFd) {
  // Once per folder and process: a batch writing a thousand files into one folder must not
  // list it a thousand times.
  static std::mutex mutex;
  static std::set<std::filesystem::path> swept;
  {
    const std::lock_guard lock(mutex);
    if (!swept.insert(folder).second) return;
  }
  constexpr std::time_t kStaleSeconds = 10 * 60;
  const int listed = ::dup(folderFd);
  if (listed < 0) return;
  const Directory dir(::fdopendir(listed));
  if (!dir) {
    ::close(listed);
    return;
  }
  ::rewinddir(dir.get());
  const std::time_t now = std::time(nullptr);
  while (const dirent* entry = ::readdir(dir.get())) {
    if (!IsTemporaryName(entry->d_name)) continue;
    struct stat info {};
    if (::fstatat(folderFd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (S_ISREG(info.st_mode) && now - info.st_mtime > kStaleSeconds &&
        !OwnerMayBeRunning(entry->d_name)) {
      ::unlinkat(folderFd, entry->d_name, 0);
    }
  }
}

// The temporaries this process has made and not yet renamed, for a signal handler to
// remove: fixed slots that the handler only reads, grown with the signals blocked.
class TemporaryRegistry {
 public:
  static constexpr std::size_t kNameBytes = 64;
  struct Slot {
    std::atomic<int> folder{-1};
    char name[kNameBytes] = {};
  };

  std::size_t Add(int folder, const std::string& name) {
    const std::lock_guard lock(mutex_);
    std::size_t capacity = capacity_.load();
    Slot* slots = slots_.load();
    std::size_t index = 0;
    while (index < capacity && slots[index].folder.load() >= 0)
      ++index;
    if (index == capacity) {
      const std::size_t grown = capacity == 0 ? 64 : capacity * 2;
      auto bigger = std::make_unique<Slot[]>(grown);
      for (std::size_t i = 0; i < capacity; ++i) {
        std::memcpy(bigger[i].name, slots[i].name, kNameBytes);
        bigger[i].folder.store(slots[i].folder.load());
      }
      sigset_t blocked, previous;
      SignalsHandled(&blocked);
      ::pthread_sigmask(SIG_BLOCK, &blocked, &previous);
      slots_.store(bigger.get());
      capacity_.store(grown);
      ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
      // Kept, not freed: a handler on another thread may still be reading the old slots.
      arrays_.push_back(std::move(bigger));
      slots = slots_.load();
      capacity = grown;
    }
    std::memset(slots[index].name, 0, kNameBytes);
    std::memcpy(slots[index].name, name.data(), std::min(name.size(), kNameBytes - 1));
    slots[index].folder.store(folder);
    return index;
  }

  void Remove(std::size_t index) {
    const std::lock_guard lock(mutex_);
    if (index < capacity_.load()) slots_.load()[index].folder.store(-1);
  }

  // Async-signal-safe: atomics and unlinkat only.
  void UnlinkAll() noexcept {
    Slot* slots = slots_.load();
    const std::size_t capacity = capacity_.load();
    for (std::size_t i = 0; i < capacity; ++i) {
      const int folder = slots[i].folder.load();
      if (folder >= 0) ::unlinkat(folder, slots[i].name, 0);
    }
  }

  static void SignalsHandled(sigset_t* set) {
    ::sigemptyset(set);
    for (const int signal : kSignals)
      ::sigaddset(set, signal);
  }
  static constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP, SIGQUIT};

 private:
  std::mutex mutex_;
  std::atomic<Slot*> slots_{nullptr};
  std::atomic<std::size_t> capacity_{0};
  std::vector<std::unique_ptr<Slot[]>> arrays_;
};

TemporaryRegistry& Temporaries() {
  static TemporaryRegistry* registry = new TemporaryRegistry;  // lives as long as handlers may
  return *registry;
}

extern "C" void RemoveTemporariesAndDie(int signal) {
  Temporaries().UnlinkAll();
  // The handler was reset to the default on entry; the signal is delivered again on return
  // and ends the process as it would have.
  ::raise(signal);
}

// Refuses a target that is there and is no regular file: a link (renaming over it would
// replace the link, not its file), a folder, a device, pipe or socket. The mode a
// replacement keeps, in `mode`, when the target is a regular file.
int NotReplaceableError(int folder, const std::string& name, mode_t* mode = nullptr) {
  struct stat info {};
  if (::fstatat(folder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) return 0;
  if (S_ISLNK(info.st_mode)) return kSymbolicLinkError;
  if (S_ISDIR(info.st_mode)) return EISDIR;
  if (!S_ISREG(info.st_mode)) return kNotRegularFileError;
  if (mode != nullptr) *mode = info.st_mode & 0777;
  return 0;
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

// The target's folder, opened once: every later step names files relative to it, so a
// folder swapped for a link meanwhile cannot redirect the write.
struct Place {
  std::shared_ptr<FileDescriptor> folder;
  std::filesystem::path folderPath;
  std::string name;
  int error = 0;
};

Place OpenPlace(const std::filesystem::path& target) {
  Place place;
  place.name = target.filename().native();
  if (place.name.empty() || place.name == "." || place.name == "..") {
    place.error = target.empty() ? ENOENT : EISDIR;
    return place;
  }
  place.folderPath = target.has_parent_path() ? target.parent_path() : ".";
  place.folder = std::make_shared<FileDescriptor>(
      ::open(place.folderPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!place.folder->Valid()) place.error = errno;
  return place;
}

}  // namespace

namespace {

struct Staged {
  int error = 0;  // 0 once staged
  std::string temporary;
  std::size_t slot = 0;
};

// Writes `bytes` to a new temporary in the place's folder, flushed to the disk when
// `sync`; the target is untouched. On failure nothing is left behind.
Staged Stage(const Place& place, std::span<const std::uint8_t> bytes, bool sync) {
  Staged staged;
  mode_t keptMode = 0;
  if (const int refused = NotReplaceableError(place.folder->Get(), place.name, &keptMode)) {
    staged.error = refused;
    return staged;
  }
  FileDescriptor fd(-1);
  for (int attempt = 0; attempt < 16 && !fd.Valid(); ++attempt) {
    staged.temporary = TemporaryName();
    fd = FileDescriptor(::openat(place.folder->Get(), staged.temporary.c_str(),
                                 O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666));
    if (!fd.Valid() && errno != EEXIST) break;
  }
  if (!fd.Valid()) {
    staged.error = errno;
    return staged;
  }
  staged.slot = Temporaries().Add(place.folder->Get(), staged.temporary);
  const auto fail = [&](int error) {
    fd.Close();
    ::unlinkat(place.folder->Get(), staged.temporary.c_str(), 0);
    Temporaries().Remove(staged.slot);
    staged.error = error;
    return staged;
  };

  // A replaced file keeps its permissions, less set-user-ID, set-group-ID and sticky: a
  // patch is no program. A new file has 0666 less the umask, from the open.
  if (keptMode != 0) ::fchmod(fd.Get(), keptMode);

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
  return staged;
}

// Renames a staged temporary over its target; on failure the temporary is removed.
// The errno, or 0 once renamed.
int Commit(const Place& place, const std::string& temporary, std::size_t slot) {
  const int folder = place.folder->Get();
  // A node may have appeared since staging (a batch stages long before it commits).
  int error = NotReplaceableError(folder, place.name);
  if (error == 0 && ::renameat(folder, temporary.c_str(), folder, place.name.c_str()) != 0) {
    error = errno;
  }
  if (error != 0) ::unlinkat(folder, temporary.c_str(), 0);
  Temporaries().Remove(slot);
  if (error != 0) return error;
  SweepStaleTemporaries(place.folderPath, folder);
  return 0;
}

WriteOutcome Outcome(const std::filesystem::path& target, int error) {
  if (error == 0) return {};
  return WriteFailure(target, error);
}

}  // namespace

std::string_view ReasonText(WriteProblem problem) {
  switch (problem) {
    case WriteProblem::kNone:
      break;
    case WriteProblem::kNotRegularFile:
      return "not a regular file, so it is not replaced";
    case WriteProblem::kSymbolicLink:
      return "a symbolic link, so it is not replaced";
  }
  return {};
}

Failure WriteFailure(const std::filesystem::path& target, int error) {
  const std::error_code reason = error == kNotRegularFileError ? WriteProblem::kNotRegularFile
                                 : error == kSymbolicLinkError
                                     ? WriteProblem::kSymbolicLink
                                     : std::error_code(error, std::generic_category());
  return {.reason = reason,
          .what = reason.message(),
          .file = target,
          .error = error,
          .exit = ExitClass::kWriteFailed};
}

WriteOutcome WriteFileAtomically(const std::filesystem::path& target,
                                 std::span<const std::uint8_t> bytes, bool sync) {
  const Place place = OpenPlace(target);
  if (place.error != 0) return WriteFailure(target, place.error);
  const Staged staged = Stage(place, bytes, sync);
  if (staged.error != 0) return WriteFailure(target, staged.error);
  const int committed = Commit(place, staged.temporary, staged.slot);
  // Makes the rename durable; a failure here cannot undo the completed write.
  if (committed == 0 && sync) ::fsync(place.folder->Get());
  return Outcome(target, committed);
}

struct AtomicBatch::Entry {
  std::filesystem::path target;
  Place place;
  std::string temporary;
  std::size_t slot = 0;
};

AtomicBatch::AtomicBatch() = default;

std::size_t AtomicBatch::Size() const {
  return entries_.size();
}

AtomicBatch::~AtomicBatch() {
  for (const Entry& e : entries_) {
    ::unlinkat(e.place.folder->Get(), e.temporary.c_str(), 0);
    Temporaries().Remove(e.slot);
  }
}

WriteOutcome AtomicBatch::Stage(const std::filesystem::path& target,
                                std::span<const std::uint8_t> bytes) {
  Place place = OpenPlace(target);
  if (place.error != 0) return WriteFailure(target, place.error);
  // One descriptor per folder for the whole batch: a thousand patches into one folder
  // must not hold a thousand open folders.
  for (const Entry& e : entries_) {
    if (e.place.folderPath == place.folderPath) {
      place.folder = e.place.folder;
      break;
    }
  }
  Staged staged = io::Stage(place, bytes, /*sync=*/false);
  if (staged.error != 0) return WriteFailure(target, staged.error);
  entries_.push_back({target, std::move(place), std::move(staged.temporary), staged.slot});
  return {};
}

std::vector<AtomicBatch::Committed> AtomicBatch::Commit(bool sync) {
  std::vector<Committed> results;
  results.reserve(entries_.size());
  for (const Entry& e : entries_)
    results.push_back({e.target, WriteOutcome()});
  // The flush error of each staged file, 0 when its data is on the disk.
  std::vector<int> flushError(entries_.size(), 0);
  if (sync) {
    // One flush per file system for every staged file, before any old file is replaced.
    std::map<dev_t, std::vector<std::size_t>> byDevice;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
      struct stat info {};
      if (::fstatat(entries_[i].place.folder->Get(), entries_[i].temporary.c_str(), &info,
                    AT_SYMLINK_NOFOLLOW) != 0) {
        flushError[i] = errno;
        continue;
      }
      byDevice[info.st_dev].push_back(i);
    }
    const auto openStaged = [&](std::size_t i) {
      return FileDescriptor(::openat(entries_[i].place.folder->Get(), entries_[i].temporary.c_str(),
                                     O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
    };
    for (const auto& [device, members] : byDevice) {
      const FileDescriptor any = openStaged(members.front());
      if (any.Valid() && SyncFileSystem(any.Get()) == 0) continue;
      // Without syncfs, or when it fails, each file is flushed on its own, and a file
      // whose flush fails too may not replace its older one.
      for (const std::size_t i : members) {
        const FileDescriptor each = openStaged(i);
        if (!each.Valid() || ::fsync(each.Get()) != 0) flushError[i] = errno != 0 ? errno : EIO;
      }
    }
  }
  std::map<std::filesystem::path, int> folders;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    const Entry& e = entries_[i];
    if (flushError[i] != 0) {
      ::unlinkat(e.place.folder->Get(), e.temporary.c_str(), 0);
      Temporaries().Remove(e.slot);
      results[i].result = WriteFailure(e.target, flushError[i]);
      continue;
    }
    const int committed = io::Commit(e.place, e.temporary, e.slot);
    results[i].result = Outcome(e.target, committed);
    if (committed == 0) folders.emplace(e.place.folderPath, e.place.folder->Get());
  }
  if (sync) {
    for (const auto& [folder, fd] : folders)
      ::fsync(fd);
  }
  entries_.clear();
  return results;
}

void RemoveTemporariesOnSignals() {
  (void)Temporaries();
  for (const int signal : TemporaryRegistry::kSignals) {
    struct sigaction current {};
    if (::sigaction(signal, nullptr, &current) != 0) continue;
    // A signal the caller ignores (nohup, a background job) stays ignored.
    if (current.sa_handler == SIG_IGN) continue;
    struct sigaction action {};
    action.sa_handler = RemoveTemporariesAndDie;
    ::sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND;
    ::sigaction(signal, &action, nullptr);
  }
}

std::filesystem::path LinkTarget(const std::filesystem::path& path) {
  std::filesystem::path at = path;
  // As many links as the kernel follows; a loop ends there and is left to the write.
  for (int hops = 0; hops < 40; ++hops) {
    std::error_code error;
    if (!std::filesystem::is_symlink(std::filesystem::symlink_status(at, error))) return at;
    const std::filesystem::path next = std::filesystem::read_symlink(at, error);
    if (error) return at;
    at = next.is_absolute() ? next : at.parent_path() / next;
  }
  return at;
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
  const auto absolute = std::filesystem::absolute(path, error);
  if (error) return path.lexically_normal().native();
  const auto resolved = std::filesystem::weakly_canonical(absolute, error);
  return (error ? absolute.lexically_normal() : resolved).native();
}

bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
  return !a.empty() && !b.empty() && FileIdentity(a) == FileIdentity(b);
}

}  // namespace kavelin::io
