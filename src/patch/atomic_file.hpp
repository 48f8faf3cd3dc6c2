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
  int error = 0;  // errno of the step that failed, when !ok
};

// Writes `bytes` to `target`, replacing any file there. On failure the old file, if any, is
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
  // Flushes the staged files (when `sync`), then renames each over its target, in the order
  // staged. One result per staged file; a failed rename leaves that target as it was.
  std::vector<AtomicWriteResult> Commit(bool sync = true);
  std::size_t Size() const { return entries_.size(); }

 private:
  struct Entry {
    std::filesystem::path target;
    std::string temporary;
  };
  std::vector<Entry> entries_;
};

}  // namespace kavelin::patch
