#include "cli/patch_input.hpp"

#include "cli/cli_support.hpp"
#include "command/user_file.hpp"

namespace kavelin::cli {

std::optional<patch::PatchContents> ReadPatch(const std::string& path) {
  command::PatchFileRead read = command::ReadPatchFile(path, LoadCodeTable());
  if (!read.failure) {
    Fail(kFailure, UnreadableFileMessage(path, read.failure, command::kMaxPatchFileBytes));
    return std::nullopt;
  }
  if (!read.ok) {
    Fail(kFailure, Shown(path) + ": offset " + std::to_string(read.offset) + ": " + read.reason);
    return std::nullopt;
  }
  return std::move(read.contents);
}

}  // namespace kavelin::cli
