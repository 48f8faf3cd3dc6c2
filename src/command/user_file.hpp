// Reading a file the user named (a sheet file, a patch) whole, for both front ends, which
// word the problems their own way.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

namespace kavelin::command {

// Size caps: a sheet file is a few kilobytes and a patch at most about 140; anything far
// larger is not what the user meant to open.
inline constexpr std::uintmax_t kMaxSheetFileBytes = 64u << 20;
inline constexpr std::uintmax_t kMaxPatchFileBytes = 1u << 20;

enum class ReadProblem {
  kNone,
  kNoSuchFile,
  kNotRegularFile,  // a folder, pipe or device: nothing a user means, and a pipe never ends
  kTooLarge,        // refused before anything is read
  kReadFailed,      // `error` holds the errno
};

struct UserFileBytes {
  std::vector<std::uint8_t> bytes;
  ReadProblem problem = ReadProblem::kNone;
  std::uintmax_t size = 0;  // the file's size, when known
  int error = 0;
};

// The whole of a regular file no larger than `limit`. A file that grows after its size was
// taken is read up to that size, which the readers then judge; one that shrinks fails.
UserFileBytes ReadUserFile(const std::filesystem::path& file, std::uintmax_t limit);

}  // namespace kavelin::command
