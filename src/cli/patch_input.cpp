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
    Fail(kFailure, Format(Tr("%1$s: offset %2$s: %3$s"), Shown(path), read.offset, read.reason));
    return std::nullopt;
  }
  return std::move(read.contents);
}

}  // namespace kavelin::cli
