// Platform door: POSIX file replacement.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <ctime>
#include <random>
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

// A writer killed between creating its temporary and the rename leaves the temporary
// behind. The next write into the folder removes such files once they are old enough that
// no write still running can own them (a write takes well under a second).
void SweepStaleTemporaries(const std::filesystem::path& folder) {
  constexpr std::time_t kStaleSeconds = 10 * 60;
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return;
  const int dirFd = ::dirfd(dir);
  const std::time_t now = std::time(nullptr);
  while (const dirent* entry = ::readdir(dir)) {
    if (!IsTemporaryName(entry->d_name)) continue;
    struct stat info {};
    if (::fstatat(dirFd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (S_ISREG(info.st_mode) && now - info.st_mtime > kStaleSeconds) {
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

AtomicWriteResult WriteFileAtomically(const std::filesystem::path& target,
                                      std::span<const std::uint8_t> bytes, bool sync) {
  AtomicWriteResult result;
  std::string temporary;
  int fd = -1;
  for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
    temporary = TemporaryName(target);
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) {
    result.error = errno;
    return result;
  }

  // Keep the permissions of a file being replaced.
  struct stat old {};
  if (::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
    ::fchmod(fd, old.st_mode & 07777);
  }

  bool written = WriteAll(fd, bytes);
  if (written && sync) written = ::fsync(fd) == 0;
  int error = written ? 0 : errno;
  if (::close(fd) != 0 && written) {
    written = false;
    error = errno;
  }
  if (written && ::rename(temporary.c_str(), target.c_str()) != 0) {
    written = false;
    error = errno;
  }
  if (!written) {
    ::unlink(temporary.c_str());
    result.error = error;
    return result;
  }
  SweepStaleTemporaries(target.parent_path());
  if (sync) {
    // Make the rename itself durable; a failure here cannot undo the completed write.
    const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
      ::fsync(dir);
      ::close(dir);
    }
  }
  result.ok = true;
  return result;
}

}  // namespace kavelin::patch
