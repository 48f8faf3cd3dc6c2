// Replacing a file so that a failure never leaves it half written: the new content goes to
// a temporary file beside the target, which is renamed over the target only when complete.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace kavelin::patch {

struct AtomicWriteResult {
  bool ok = false;
  int error = 0;  // errno of the step that failed, or kNotRegularFile, when !ok
};

// Not an errno: the target exists and is a device, pipe or socket. Replacing such a node
// with a regular file would destroy it (as root, even a system device), so it is refused.
inline constexpr int kNotRegularFile = -1;

// A key that two paths share exactly when they name the same file: the device and inode
// of an existing file (so links and other spellings meet), else the resolved path.
std::string FileIdentity(const std::filesystem::path& path);
bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b);

// Writes `bytes` to `target`, replacing any regular file there (anything else there is
// refused with kNotRegularFile or EISDIR). On failure the old file, if any, is
// unchanged and no temporary file is left behind. `sync` flushes the data to the disk
// before the rename, so that a crash of the machine cannot leave an empty file either.
// A new file gets the usual permissions (0666 less the umask); a replaced file keeps its own.
// A process killed part-way leaves the old file as it was and, at worst, one hidden
// ".kavelin-*.tmp" beside it; a later successful write into that folder removes such
// leftovers once their process has ended and they are more than ten minutes old.
AtomicWriteResult WriteFileAtomically(const std::filesystem::path& target,
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
  AtomicWriteResult Stage(const std::filesystem::path& target, std::span<const std::uint8_t> bytes);
  struct Committed {
    std::filesystem::path target;
    AtomicWriteResult result;
  };
  // Flushes the staged files (when `sync`), then renames each over its target, in the order
  // staged. One result per staged file, naming its target. A file whose flush failed, or
  // whose rename failed, leaves its target as it was.
  std::vector<Committed> Commit(bool sync = true);
  std::size_t Size() const { return entries_.size(); }

 private:
  struct Entry {
    std::filesystem::path target;
    std::string temporary;
  };
  std::vector<Entry> entries_;
};

}  // namespace kavelin::patch
