#include "command/user_file.hpp"

#include <cerrno>
#include <fstream>
#include <string_view>
#include <system_error>
#include <utility>

namespace kavelin::command {

UserFileBytes ReadUserFile(const std::filesystem::path& file, std::uintmax_t limit) {
  UserFileBytes result;
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) {
    result.problem = std::filesystem::exists(file, error) ? ReadProblem::kNotRegularFile
                                                          : ReadProblem::kNoSuchFile;
    return result;
  }
  result.size = std::filesystem::file_size(file, error);
  if (error) {
    result.problem = ReadProblem::kReadFailed;
    result.error = error.value();
    return result;
  }
  if (result.size > limit) {
    result.problem = ReadProblem::kTooLarge;
    return result;
  }
  std::ifstream in(file, std::ios::binary);
  result.bytes.resize(static_cast<std::size_t>(result.size));
  if (!in || !in.read(reinterpret_cast<char*>(result.bytes.data()),
                      static_cast<std::streamsize>(result.bytes.size()))) {
    result.problem = ReadProblem::kReadFailed;
    result.error = errno;
    result.bytes.clear();
  }
  return result;
}

SheetFileRead ReadSheetFile(const std::filesystem::path& file) {
  SheetFileRead result;
  const UserFileBytes read = ReadUserFile(file, kMaxSheetFileBytes);
  result.problem = read.problem;
  result.size = read.size;
  result.error = read.error;
  if (read.problem != ReadProblem::kNone) return result;
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
  result.problem = read.problem;
  result.size = read.size;
  result.error = read.error;
  if (read.problem != ReadProblem::kNone) return result;
  patch::ReadResult parsed = patch::ReadPatchFile(read.bytes, codes);
  result.ok = parsed.ok;
  result.reason = std::move(parsed.reason);
  result.formatProblem = parsed.problem;
  result.offset = parsed.offset;
  result.contents = std::move(parsed.contents);
  return result;
}

}  // namespace kavelin::command
