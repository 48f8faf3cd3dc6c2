#include "cli/patch_input.hpp"

#include "cli/cli_support.hpp"

namespace kavelin::cli {

// A patch holds at most the fixed part, 77 bytes of sections and a comment of 65,535
// double-byte characters; anything much larger is no patch.
constexpr std::size_t kMaxPatchBytes = 1u << 20;

std::optional<patch::PatchContents> ReadPatch(const std::string& path) {
  const FileBytes file = ReadWholeFile(path, kMaxPatchBytes);
  if (!file.error.empty()) {
    Fail(kFailure, file.error);
    return std::nullopt;
  }
  const auto read = patch::ReadPatchFile(file.bytes, LoadCodeTable());
  if (!read.ok) {
    Fail(kFailure, path + ": offset " + std::to_string(read.offset) + ": " + read.reason);
    return std::nullopt;
  }
  return read.contents;
}

}  // namespace kavelin::cli
