// Reading a file the user named, whole and under a cap, for every reader of the program:
// templates, sheets, patches, the settings file, the names files and the window's record.
// The file is opened first, without waiting (a pipe never blocks), and judged by what was
// opened, never by its name, so that nothing swapped in between can make a read hang.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "io/result.hpp"

namespace kavelin::io {

enum class ReadProblem {
  kNone,            // not a read failure
  kNoSuchFile,      // the errno is ENOENT or ENOTDIR
  kNotRegularFile,  // a folder, pipe, socket or device: nothing a user means, and a pipe never ends
  kTooLarge,        // larger than the cap; refused before anything is read
  kNoPermission,    // the file, or a folder on its way, may not be read or entered
  kChanged,         // it shrank, grew or was rewritten while being read
  kOutOfMemory,     // not enough memory to hold it
  kReadFailed,      // the errno says why
};
std::string_view ReasonText(ReadProblem problem);
inline std::error_code make_error_code(ReadProblem problem) {
  return MakeReason(problem, "read");
}

using Bytes = std::vector<std::uint8_t>;
using FileRead = Result<Bytes>;

// A read failure's parts: the size the file had when it was opened, when known, and the
// cap it was read under.
struct ReadParts {
  std::uintmax_t size = 0;
  std::uintmax_t limit = 0;
};

// The failure of a read, worded in English without the file's name: "no such file",
// "could not be read: Permission denied", "changed while being read", and so on.
Failure ReadFailure(ReadProblem problem, const std::filesystem::path& file, int error = 0,
                    ReadParts parts = {});
// The read problem of a failure; kNone when it is no read failure.
ReadProblem ProblemOf(const Failure& failure);

// The whole of a regular file no larger than `limit` bytes.
FileRead ReadFile(const std::filesystem::path& file, std::uintmax_t limit);

// At most the first `count` bytes of a regular file, for telling what it is; a file
// shorter than that gives what it has.
FileRead ReadFileStart(const std::filesystem::path& file, std::size_t count);

// A call just before every open, for tests that swap a file at the worst moment; none
// by default.
using BeforeOpenHook = void (*)(const std::filesystem::path& file);
void SetBeforeOpenHook(BeforeOpenHook hook);

}  // namespace kavelin::io

template <>
struct std::is_error_code_enum<kavelin::io::ReadProblem> : std::true_type {};
