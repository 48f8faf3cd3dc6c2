// Platform door: POSIX reading.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <new>
#include <utility>

#include "io/descriptor.hpp"
#include "io/read_file.hpp"
#include "translate/translate.hpp"

namespace kavelin::io {
namespace {

std::atomic<BeforeOpenHook> beforeOpen{nullptr};

FileRead Failed(ReadProblem problem, int error = 0, std::uintmax_t size = 0) {
  FileRead read;
  read.problem = problem;
  read.error = error;
  read.size = size;
  return read;
}

ReadProblem ProblemOfOpen(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      return ReadProblem::kNoSuchFile;
    case EACCES:
    case EPERM:
      return ReadProblem::kNoPermission;
    case ENOMEM:
      return ReadProblem::kOutOfMemory;
    default:
      return ReadProblem::kReadFailed;
  }
}

// Reads at most `limit` bytes, plus one to see that there are more, until the end.
FileRead Read(const std::filesystem::path& file, std::uintmax_t limit, bool wholeFile) {
  if (file.empty()) return Failed(ReadProblem::kNoSuchFile, ENOENT);
  if (const BeforeOpenHook hook = beforeOpen.load()) hook(file);
#if defined(__EMSCRIPTEN__)
  // Under node the open of a pipe waits for a writer whatever its flags, so the name is
  // judged first; the descriptor is judged again below, which catches a regular file that
  // was there at the first look only as far as the open returns at all.
  struct stat named {};
  if (::stat(file.c_str(), &named) == 0 && !S_ISREG(named.st_mode))
    return Failed(ReadProblem::kNotRegularFile);
#endif
  // O_NONBLOCK: opening a pipe without a writer would otherwise wait for one for ever.
  const FileDescriptor fd(::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
  if (fd.Get() < 0) {
    const int error = errno;
    return Failed(ProblemOfOpen(error), error);
  }
  struct stat before {};
  if (::fstat(fd.Get(), &before) != 0) return Failed(ReadProblem::kReadFailed, errno);
  if (!S_ISREG(before.st_mode)) return Failed(ReadProblem::kNotRegularFile);
  const auto size = static_cast<std::uintmax_t>(before.st_size);
  if (wholeFile && size > limit) return Failed(ReadProblem::kTooLarge, 0, size);
  // Back to blocking reads: a regular file ignores the flag, but a network file system
  // might not.
  ::fcntl(fd.Get(), F_SETFL, ::fcntl(fd.Get(), F_GETFL) & ~O_NONBLOCK);

  FileRead read;
  read.size = size;
  const std::uintmax_t wanted = wholeFile ? limit + 1 : limit;
  try {
    // Files of /proc and /sys say 0 or 4096 whatever they hold: start small and grow.
    read.bytes.resize(static_cast<std::size_t>(
        std::min(wanted, size == 0 ? std::uintmax_t{4096} : size + (wholeFile ? 1 : 0))));
    std::size_t filled = 0;
    for (;;) {
      if (filled == read.bytes.size()) {
        if (filled >= wanted) break;
        read.bytes.resize(static_cast<std::size_t>(std::min<std::uintmax_t>(wanted, filled * 2)));
      }
      const ssize_t n = ::read(fd.Get(), read.bytes.data() + filled, read.bytes.size() - filled);
      if (n < 0) {
        if (errno == EINTR) continue;
        const int error = errno;
        return Failed(error == ENOMEM ? ReadProblem::kOutOfMemory : ReadProblem::kReadFailed, error,
                      size);
      }
      if (n == 0) break;
      filled += static_cast<std::size_t>(n);
    }
    read.bytes.resize(filled);
  } catch (const std::bad_alloc&) {
    return Failed(ReadProblem::kOutOfMemory, ENOMEM, size);
  }
  if (!wholeFile) return read;
  if (read.bytes.size() > limit) {
    return Failed(ReadProblem::kTooLarge, 0, std::max<std::uintmax_t>(size, read.bytes.size()));
  }
  struct stat after {};
  const bool rewritten = ::fstat(fd.Get(), &after) != 0 || after.st_size != before.st_size ||
                         after.st_mtim.tv_sec != before.st_mtim.tv_sec ||
                         after.st_mtim.tv_nsec != before.st_mtim.tv_nsec;
  // Fewer bytes than the size said: cut short while we read (or a file of /sys, whose size
  // is no promise; either way the bytes are not the file).
  if (rewritten || read.bytes.size() < size) return Failed(ReadProblem::kChanged, 0, size);
  return read;
}

}  // namespace

FileRead ReadFile(const std::filesystem::path& file, std::uintmax_t limit) {
  return Read(file, limit, true);
}

FileRead ReadFileStart(const std::filesystem::path& file, std::size_t count) {
  return Read(file, count, false);
}

std::string ReadProblemText(const FileRead& read, std::uintmax_t limit) {
  switch (read.problem) {
    case ReadProblem::kNone:
      break;
    case ReadProblem::kNoSuchFile:
      return text::Tr("no such file");
    case ReadProblem::kNotRegularFile:
      return text::Tr("not a regular file");
    case ReadProblem::kTooLarge:
      return text::Format(text::Tr("the file is %1$s bytes, more than %2$s this command reads"),
                          read.size, limit);
    case ReadProblem::kNoPermission:
      return text::Format(text::Tr("could not be read: %s"), std::strerror(read.error));
    case ReadProblem::kChanged:
      return text::Tr("changed while being read");
    case ReadProblem::kOutOfMemory:
      return text::Tr("not enough memory to read it");
    case ReadProblem::kReadFailed:
      return text::Format(text::Tr("could not be read: %s"), std::strerror(read.error));
  }
  return {};
}

void SetBeforeOpenHook(BeforeOpenHook hook) {
  beforeOpen.store(hook);
}

}  // namespace kavelin::io
