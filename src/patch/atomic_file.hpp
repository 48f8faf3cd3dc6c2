// Replacing a file so that a failure never leaves it half written: the new content goes to
// a temporary file beside the target, which is renamed over the target only when complete.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

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
// leftovers once they are more than ten minutes old.
AtomicWriteResult WriteFileAtomically(const std::filesystem::path& target,
                                      std::span<const std::uint8_t> bytes, bool sync = true);

}  // namespace kavelin::patch
