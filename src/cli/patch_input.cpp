#include "cli/patch_input.hpp"

#include "cli/cli_support.hpp"
#include "command/user_file.hpp"

namespace kavelin::cli {

std::optional<patch::PatchContents> ReadPatch(const std::string& path) {
  command::PatchFileRead read = command::ReadPatchFile(path, LoadCodeTable());
  if (!read) {
    Fail(path, read.Why());
    return std::nullopt;
  }
  return std::move(*read);
}

}  // namespace kavelin::cli
