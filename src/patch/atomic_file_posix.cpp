// Platform door: POSIX file replacement.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <random>
#include <string>

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
