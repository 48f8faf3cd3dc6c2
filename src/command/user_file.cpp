#include "command/user_file.hpp"

#include <string_view>
#include <utility>

namespace kavelin::command {

SheetFileRead ReadSheetFile(const std::filesystem::path& file) {
  SheetFileRead result;
  const UserFileBytes read = ReadUserFile(file, kMaxSheetFileBytes);
  if (!read) {
    result.failure = read;
    return result;
  }
  sheet::SheetFileResult parsed = sheet::ReadSheetFile(
      std::string_view(reinterpret_cast<const char*>(read.bytes.data()), read.bytes.size()));
  result.ok = parsed.ok;
  result.reason = std::move(parsed.error);
  result.formatProblem = std::move(parsed.problem);
  result.document = std::move(parsed.document);
  return result;
}

PatchFileRead ReadPatchFile(const std::filesystem::path& file, const text::CodeTable& codes) {
  PatchFileRead result;
  const UserFileBytes read = ReadUserFile(file, kMaxPatchFileBytes);
  if (!read) {
    result.failure = read;
    return result;
  }
  patch::ReadResult parsed = patch::ReadPatchFile(read.bytes, codes);
  result.ok = parsed.ok;
  result.reason = std::move(parsed.reason);
  result.formatProblem = parsed.problem;
  result.offset = parsed.offset;
  result.contents = std::move(parsed.contents);
  return result;
}

}  // namespace kavelin::command
