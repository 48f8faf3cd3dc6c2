// Reading a file the user named (a sheet file, a patch) whole, for both front ends, which
// word the problems their own way.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "patch/patch_reader.hpp"
#include "sheet/sheet_file.hpp"
#include "text/code_table.hpp"

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

// A sheet file read whole (up to kMaxSheetFileBytes) and parsed. When the file could not
// be read, `problem`, `size` and `error` say why as ReadUserFile does; when it was read but
// is no sheet file, `reason` holds the sheet reader's message and `formatProblem` its parts.
struct SheetFileRead {
  bool ok = false;
  ReadProblem problem = ReadProblem::kNone;
  std::uintmax_t size = 0;
  int error = 0;
  std::string reason;
  sheet::SheetFileProblem formatProblem;
  sheet::SheetDocument document;  // when ok
};
SheetFileRead ReadSheetFile(const std::filesystem::path& file);

// A patch read whole (up to kMaxPatchFileBytes) and parsed, likewise; a malformed patch
// gives the reader's `reason`, its parts and the `offset` of the first bad byte.
struct PatchFileRead {
  bool ok = false;
  ReadProblem problem = ReadProblem::kNone;
  std::uintmax_t size = 0;
  int error = 0;
  std::string reason;
  patch::PatchProblem formatProblem;
  std::size_t offset = 0;
  patch::PatchContents contents;  // when ok
};
PatchFileRead ReadPatchFile(const std::filesystem::path& file, const text::CodeTable& codes);

}  // namespace kavelin::command
