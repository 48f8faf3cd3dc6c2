// Reading a file the user named, whole and under a cap, for every reader of the program:
// templates, sheets, patches, the settings file, the names files and the window's record.
// The file is opened first, without waiting (a pipe never blocks), and judged by what was
// opened, never by its name, so that nothing swapped in between can make a read hang.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace kavelin::io {

enum class ReadProblem {
  kNone,
  kNoSuchFile,      // `error` holds ENOENT or ENOTDIR
  kNotRegularFile,  // a folder, pipe, socket or device: nothing a user means, and a pipe never ends
  kTooLarge,        // larger than the cap; refused before anything is read
  kNoPermission,    // the file, or a folder on its way, may not be read or entered
  kChanged,         // it shrank, grew or was rewritten while being read
  kOutOfMemory,     // not enough memory to hold it
  kReadFailed,      // `error` holds the errno
};

struct FileRead {
  std::vector<std::uint8_t> bytes;
  ReadProblem problem = ReadProblem::kNone;
  std::uintmax_t size = 0;  // the size the file had when it was opened, when known
  int error = 0;            // the errno behind the problem, when there was one
  explicit operator bool() const { return problem == ReadProblem::kNone; }
};

// The whole of a regular file no larger than `limit` bytes.
FileRead ReadFile(const std::filesystem::path& file, std::uintmax_t limit);

// At most the first `count` bytes of a regular file, for telling what it is; a file
// shorter than that gives what it has.
FileRead ReadFileStart(const std::filesystem::path& file, std::size_t count);

// Why the read failed, in English without the file's name: "no such file", "could not be
// read: Permission denied", "changed while being read", and so on; `limit` is the cap the
// file was read under.
std::string ReadProblemText(const FileRead& read, std::uintmax_t limit);

// A call just before every open, for tests that swap a file at the worst moment; none
// by default.
using BeforeOpenHook = void (*)(const std::filesystem::path& file);
void SetBeforeOpenHook(BeforeOpenHook hook);

}  // namespace kavelin::io
