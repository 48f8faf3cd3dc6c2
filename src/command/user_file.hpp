// Reading a file the user named (a sheet file, a patch) whole, for both front ends, which
// word the problems their own way.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "io/read_file.hpp"
#include "patch/patch_reader.hpp"
#include "sheet/sheet_file.hpp"
#include "text/code_table.hpp"

namespace kavelin::command {

// Size caps: a sheet file is a few kilobytes and a patch at most about 140; anything far
// larger is not what the user meant to open.
inline constexpr std::uintmax_t kMaxSheetFileBytes = 64u << 20;
inline constexpr std::uintmax_t kMaxPatchFileBytes = 1u << 20;

using io::ReadProblem;
using UserFileBytes = io::FileRead;

// The whole of a regular file no larger than `limit`, through the one reader.
inline UserFileBytes ReadUserFile(const std::filesystem::path& file, std::uintmax_t limit) {
  return io::ReadFile(file, limit);
}

// A sheet file read whole (up to kMaxSheetFileBytes) and parsed. The failure is the one
// reader's (parts io::ReadParts) when the file could not be read, and the sheet reader's
// (parts sheet::SheetFileProblem) when it is no sheet file; `file` names it either way.
using SheetFileRead = Result<sheet::SheetDocument>;
SheetFileRead ReadSheetFile(const std::filesystem::path& file);

// A patch read whole (up to kMaxPatchFileBytes) and parsed, likewise; a malformed patch
// gives the patch reader's failure (parts patch::PatchProblemAt, with the first bad byte).
using PatchFileRead = Result<patch::PatchContents>;
PatchFileRead ReadPatchFile(const std::filesystem::path& file, const text::CodeTable& codes);

}  // namespace kavelin::command
