#include "command/user_file.hpp"

#include <string_view>
#include <utility>

namespace kavelin::command {

namespace {

// A reader's failure, naming the file it read.
Failure Of(Failure failure, const std::filesystem::path& file) {
  failure.file = file;
  return failure;
}

}  // namespace

SheetFileRead ReadSheetFile(const std::filesystem::path& file) {
  UserFileBytes read = ReadUserFile(file, kMaxSheetFileBytes);
  if (!read) return std::move(read.Why());
  sheet::SheetFileResult parsed = sheet::ReadSheetFile(
      std::string_view(reinterpret_cast<const char*>(read->data()), read->size()));
  if (!parsed) return Of(std::move(parsed.Why()), file);
  return parsed;
}

PatchFileRead ReadPatchFile(const std::filesystem::path& file, const text::CodeTable& codes) {
  UserFileBytes read = ReadUserFile(file, kMaxPatchFileBytes);
  if (!read) return std::move(read.Why());
  patch::ReadResult parsed = patch::ReadPatchFile(*read, codes);
  if (!parsed) return Of(std::move(parsed.Why()), file);
  return parsed;
}

}  // namespace kavelin::command
