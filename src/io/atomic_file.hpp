// Replacing a file so that a failure never leaves it half written: the new content goes to
// a temporary file beside the target, which is renamed over the target only when complete.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "io/result.hpp"

namespace kavelin::io {

// Done, or why not: the Failure's `error` is the errno of the step that failed, or one
// of the two codes below.
using WriteOutcome = Result<void>;

// Not an errno: the target exists and is a device, pipe or socket. Replacing such a node
// with a regular file would destroy it (as root, even a system device), so it is refused.
inline constexpr int kNotRegularFileError = -1;
// Not an errno: the target is a symbolic link. Renaming over it would put a file where the
// link was and leave the file it names as it was; a caller that means that file writes to
// LinkTarget(target) instead.
inline constexpr int kSymbolicLinkError = -2;

// The reasons of the two refusals that are no errno; any other write failure's reason is
// its errno.
enum class WriteProblem { kNone, kNotRegularFile, kSymbolicLink };
std::string_view ReasonText(WriteProblem problem);
inline std::error_code make_error_code(WriteProblem problem) {
  return MakeReason(problem, "write");
}
// The failure of a write to `target` with `error` (an errno or one of the codes above).
Failure WriteFailure(const std::filesystem::path& target, int error);

// A key that two paths share exactly when they name the same file: the device and inode
// of an existing file (so links and other spellings meet), else the resolved path.
std::string FileIdentity(const std::filesystem::path& path);
bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b);

// Writes `bytes` to `target`, replacing any regular file there (anything else there is
// refused with kSymbolicLinkError, kNotRegularFileError or EISDIR). On failure the old file, if
// any, is unchanged and no temporary file is left behind. `sync` flushes the data to the disk
// before the rename, so that a crash of the machine cannot leave an empty file either.
// A new file gets the usual permissions (0666 less the umask); a replaced file keeps its
// own, less set-user-ID, set-group-ID and sticky. The target's folder is opened once and
// every step works relative to it. A process killed part-way leaves the old file as it was
// and, unless RemoveTemporariesOnSignals caught the signal, one hidden ".kavelin-*.tmp"
// beside it; a later successful write into that folder removes such leftovers once their
// process has ended and they are more than ten minutes old.
WriteOutcome WriteFileAtomically(const std::filesystem::path& target,
                                 std::span<const std::uint8_t> bytes, bool sync = true);

// Many files replaced the same way with one flush to the disk for all of them: each is
// staged in its temporary first, and no old file is replaced until every staged file is on
// the disk. A batch destroyed before Commit removes its temporaries and changes nothing.
class AtomicBatch {
 public:
  AtomicBatch();
  ~AtomicBatch();
  AtomicBatch(const AtomicBatch&) = delete;
  AtomicBatch& operator=(const AtomicBatch&) = delete;

  // Writes the bytes to a temporary beside `target`; the target is untouched until Commit.
  WriteOutcome Stage(const std::filesystem::path& target, std::span<const std::uint8_t> bytes);
  struct Committed {
    std::filesystem::path target;
    WriteOutcome result;
  };
  // Flushes the staged files (when `sync`), then renames each over its target, in the order
  // staged. One result per staged file, naming its target. A file whose flush failed, or
  // whose rename failed, leaves its target as it was.
  std::vector<Committed> Commit(bool sync = true);
  std::size_t Size() const;

 private:
  struct Entry;
  std::vector<Entry> entries_;
};

// On SIGTERM, SIGINT, SIGHUP and SIGQUIT, removes the temporaries of every write and batch
// still in progress, then ends the process by the signal as it would have ended. A signal
// that was ignored when this is called stays ignored.
void RemoveTemporariesOnSignals();

// The file a chain of symbolic links ends at (the path itself when it is no link), for a
// write the user asked to go through a link.
std::filesystem::path LinkTarget(const std::filesystem::path& path);

}  // namespace kavelin::io

template <>
struct std::is_error_code_enum<kavelin::io::WriteProblem> : std::true_type {};
