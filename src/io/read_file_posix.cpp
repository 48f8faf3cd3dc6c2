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
  const auto Failed = [&](ReadProblem problem, int error = 0, std::uintmax_t size = 0) {
    return FileRead(ReadFailure(problem, file, error, {size, wholeFile ? limit : 0}));
  };
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

  Bytes read;
  const std::uintmax_t wanted = wholeFile ? limit + 1 : limit;
  try {
    // Files of /proc and /sys say 0 or 4096 whatever they hold: start small and grow.
    read.resize(static_cast<std::size_t>(
        std::min(wanted, size == 0 ? std::uintmax_t{4096} : size + (wholeFile ? 1 : 0))));
    std::size_t filled = 0;
    for (;;) {
      if (filled == read.size()) {
        if (filled >= wanted) break;
        read.resize(static_cast<std::size_t>(std::min<std::uintmax_t>(wanted, filled * 2)));
      }
      const ssize_t n = ::read(fd.Get(), read.data() + filled, read.size() - filled);
      if (n < 0) {
        if (errno == EINTR) continue;
        const int error = errno;
        return Failed(error == ENOMEM ? ReadProblem::kOutOfMemory : ReadProblem::kReadFailed, error,
                      size);
      }
      if (n == 0) break;
      filled += static_cast<std::size_t>(n);
    }
    read.resize(filled);
  } catch (const std::bad_alloc&) {
    return Failed(ReadProblem::kOutOfMemory, ENOMEM, size);
  }
  if (!wholeFile) return read;
  if (read.size() > limit) {
    return Failed(ReadProblem::kTooLarge, 0, std::max<std::uintmax_t>(size, read.size()));
  }
  struct stat after {};
  const bool rewritten = ::fstat(fd.Get(), &after) != 0 || after.st_size != before.st_size ||
                         after.st_mtim.tv_sec != before.st_mtim.tv_sec ||
                         after.st_mtim.tv_nsec != before.st_mtim.tv_nsec;
  // Fewer bytes than the size said: cut short while we read (or a file of /sys, whose size
  // is no promise; either way the bytes are not the file).
  if (rewritten || read.size() < size) return Failed(ReadProblem::kChanged, 0, size);
  return read;
}

}  // namespace

FileRead ReadFile(const std::filesystem::path& file, std::uintmax_t limit) {
  return Read(file, limit, true);
}

FileRead ReadFileStart(const std::filesystem::path& file, std::size_t count) {
  return Read(file, count, false);
}

std::string_view ReasonText(ReadProblem problem) {
  switch (problem) {
    case ReadProblem::kNone:
      break;
    case ReadProblem::kNoSuchFile:
      return "no such file";
    case ReadProblem::kNotRegularFile:
      return "not a regular file";
    case ReadProblem::kTooLarge:
      return "too large";
    case ReadProblem::kNoPermission:
      return "no permission";
    case ReadProblem::kChanged:
      return "changed while being read";
    case ReadProblem::kOutOfMemory:
      return "not enough memory to read it";
    case ReadProblem::kReadFailed:
      return "could not be read";
  }
  return {};
}

Failure ReadFailure(ReadProblem problem, const std::filesystem::path& file, int error,
                    ReadParts parts) {
  std::string what;
  switch (problem) {
    case ReadProblem::kNone:
      break;
    case ReadProblem::kNoSuchFile:
      what = text::Tr("no such file");
      break;
    case ReadProblem::kNotRegularFile:
      what = text::Tr("not a regular file");
      break;
    case ReadProblem::kTooLarge:
      what = text::Format(text::Tr("the file is %1$s bytes, more than %2$s this command reads"),
                          parts.size, parts.limit);
      break;
    case ReadProblem::kChanged:
      what = text::Tr("changed while being read");
      break;
    case ReadProblem::kOutOfMemory:
      what = text::Tr("not enough memory to read it");
      break;
    case ReadProblem::kNoPermission:
    case ReadProblem::kReadFailed:
      // The system's own words for why.
      what = text::Format(text::Tr("could not be read: %s"), std::strerror(error));
      break;
  }
  return {.reason = problem, .what = std::move(what), .file = file, .error = error, .parts = parts};
}

ReadProblem ProblemOf(const Failure& failure) {
  ReadProblem problem = ReadProblem::kNone;
  return ReasonIs(failure, problem) ? problem : ReadProblem::kNone;
}

void SetBeforeOpenHook(BeforeOpenHook hook) {
  beforeOpen.store(hook);
}

}  // namespace kavelin::io
