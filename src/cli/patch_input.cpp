#include "cli/patch_input.hpp"

#include "cli/cli_support.hpp"
#include "command/user_file.hpp"

namespace kavelin::cli {

std::optional<patch::PatchContents> ReadPatch(const std::string& path) {
  command::PatchFileRead read = command::ReadPatchFile(path, LoadCodeTable());
  if (read.problem != command::ReadProblem::kNone) {
    Fail(kFailure, UnreadableFileMessage(path, read.problem, read.size, read.error,
                                         command::kMaxPatchFileBytes));
    return std::nullopt;
  }
  if (!read.ok) {
    Fail(kFailure, path + ": offset " + std::to_string(read.offset) + ": " + read.reason);
    return std::nullopt;
  }
  return std::move(read.contents);
}

}  // namespace kavelin::cli
